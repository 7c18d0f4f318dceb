// WeatherView: the city field and the preset list.
#include "ui/controller/lookup/WeatherView.h"

#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/TextField.h"

namespace oa {

namespace {
constexpr int kListTop = 50;
}

WeatherView::WeatherView(QWidget* parent)
    : OtherBaseView(parent), city_arr_{QStringLiteral("北京"), QStringLiteral("上海"),
                                       QStringLiteral("广州"), QStringLiteral("深圳"),
                                       QStringLiteral("香港"), QStringLiteral("重庆"),
                                       QStringLiteral("南京")} {}

WeatherView::~WeatherView() {
    if (table_view_) {
        table_view_->setDataSource(nullptr);
        table_view_->setDelegate(nullptr);
    }
}

void WeatherView::createView() {
    city_text_ = new TextField(this);
    city_text_->setObjectName(QStringLiteral("city_text"));
    city_text_->setGeometry(15, 10, 290, 30);
    city_text_->setBorderStyle(TextField::BorderStyle::RoundedRect);
    city_text_->setFont(systemFont(16));
    city_text_->setPlaceholderText(QStringLiteral("输入城市名称"));
    city_text_->setAccessibleName(QStringLiteral("城市名称"));
    connect(city_text_, &TextField::shouldReturn, city_text_, &TextField::resignFirstResponder);

    table_view_ = new TableView(TableView::Style::Plain, this);
    table_view_->setObjectName(QStringLiteral("table_view"));
    table_view_->setScrollEnabled(false);
    table_view_->setRowHeight(kRowHeight);
    table_view_->setDataSource(this);
    table_view_->setDelegate(this);

    if (OtherFuncController* host = other_delegate()) {
        const QPointer<WeatherView> guard(this);
        host->setRightBarButton(QStringLiteral("查询"), [guard] {
            if (guard) {
                guard->search();
            }
        });
    }
}

void WeatherView::resizeEvent(QResizeEvent* event) {
    OtherBaseView::resizeEvent(event);
    if (table_view_) {
        table_view_->setGeometry(0, kListTop, width(), std::max(0, height() - kListTop));
    }
}

void WeatherView::search() {
    city_text_->resignFirstResponder();
    openCity(city_text_->text());
}

void WeatherView::openCity(const QString& city) {
    if (OtherFuncController* host = other_delegate()) {
        host->lookDetail("weather", Text(city.toStdString()));
    }
}

int WeatherView::numberOfRowsInSection(TableView*, int) {
    return int(city_arr_.size());
}

TableViewCell* WeatherView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    TableViewCell* cell = tableView->dequeueReusableCellWithIdentifier(QStringLiteral("city"));
    if (!cell) {
        cell = new TableViewCell(TableViewCell::Style::Default, QStringLiteral("city"));
    }
    cell->textLabel()->setFont(systemFont(16));
    cell->textLabel()->setText(city_arr_.value(path.row));
    return cell;
}

qreal WeatherView::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

void WeatherView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    tableView->deselectRowAtIndexPath(path, true);
    if (path.row >= 0 && path.row < city_arr_.size()) {
        openCity(city_arr_.at(path.row));
    }
}

}  // namespace oa

// TelNoDetailView: one row of 220 points per place.
#include "ui/controller/lookup/TelNoDetailView.h"

#include "ui/controller/lookup/LookupText.h"
#include "ui/controller/main/BaseView.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/kit/Fonts.h"

namespace oa {

namespace {

constexpr int kLines = 6;
constexpr int kLineGap = 30;

class PlaceCell : public TableViewCell {
public:
    PlaceCell() : TableViewCell(Style::Default, QStringLiteral("place")) {
        setSelectionStyle(SelectionStyle::None);
        heading_ = new RowLabel(contentView());
        heading_->setObjectName(QStringLiteral("province"));
        heading_->setFont(systemFont(20));
        heading_->setTextColor(BaseView::darkGrey());
        for (int i = 0; i < kLines; ++i) {
            auto* line = new RowLabel(contentView());
            line->setObjectName(QStringLiteral("line%1").arg(i));
            line->setFont(systemFont(16));
            line->setTextColor(BaseView::grey());
            lines_.append(line);
        }
    }
    void showPlace(const TelVO& place) {
        heading_->setText(shownText(place.province));
        const QStringList texts = TelNoDetailView::lines(place);
        for (int i = 0; i < kLines; ++i) {
            lines_[i]->setText(texts.value(i));
        }
        layoutSubviews();
    }

protected:
    void layoutSubviews() override {
        TableViewCell::layoutSubviews();
        const int width = contentView()->width() - 20;
        heading_->setGeometry(10, 8, width, 26);
        for (int i = 0; i < kLines; ++i) {
            lines_[i]->setGeometry(10, 38 + i * kLineGap, width, 24);
        }
    }

private:
    RowLabel* heading_;
    QList<RowLabel*> lines_;
};

}  // namespace

TelNoDetailView::TelNoDetailView(QWidget* parent) : DetailView(parent) {}

TelNoDetailView::~TelNoDetailView() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

QStringList TelNoDetailView::lines(const TelVO& place) {
    return {QStringLiteral("省（自治区/直辖市）：%1").arg(shownText(place.province)),
            QStringLiteral("城市：%1").arg(shownText(place.city)),
            QStringLiteral("区/县：%1").arg(shownText(place.county)),
            QStringLiteral("街道：%1").arg(shownText(place.town)),
            QStringLiteral("区号：%1").arg(shownText(place.tel_no)),
            QStringLiteral("邮编：%1").arg(shownText(place.post_no))};
}

void TelNoDetailView::createView(const std::shared_ptr<BaseVO>&) {
    if (!table_) {
        table_ = new TableView(TableView::Style::Grouped, this);
        table_->setObjectName(QStringLiteral("places"));
        table_->setDataSource(this);
        table_->setDelegate(this);
        table_->setAllowsSelection(false);
        table_->setGeometry(rect());
        table_->show();
    }
    table_->reloadData();
    if (places_.empty()) {
        showNothingFound();
    }
}

void TelNoDetailView::resizeEvent(QResizeEvent* event) {
    DetailView::resizeEvent(event);
    if (table_) {
        table_->setGeometry(rect());
    }
}

int TelNoDetailView::numberOfRowsInSection(TableView*, int) {
    return int(places_.size());
}

TableViewCell* TelNoDetailView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    auto* cell = static_cast<PlaceCell*>(
        tableView->dequeueReusableCellWithIdentifier(QStringLiteral("place")));
    if (!cell) {
        cell = new PlaceCell;
    }
    cell->showPlace(places_.at(std::size_t(path.row)));
    return cell;
}

qreal TelNoDetailView::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

}  // namespace oa

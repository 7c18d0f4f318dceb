// UserView: searching on every edit and the result list.
#include "ui/controller/lookup/UserView.h"

#include "ui/controller/lookup/LookupObserver.h"
#include "ui/controller/lookup/LookupRowCell.h"
#include "ui/controller/lookup/LookupText.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/TextField.h"

namespace oa {

UserView::UserView(QWidget* parent) : OtherBaseView(parent) {}

UserView::~UserView() {
    result_.reset();
    if (table_view_) {
        table_view_->setDataSource(nullptr);
        table_view_->setDelegate(nullptr);
    }
}

void UserView::createView() {
    name_txt_ = new TextField(this);
    name_txt_->setObjectName(QStringLiteral("name_txt"));
    name_txt_->setGeometry(15, 10, 290, 30);
    name_txt_->setBorderStyle(TextField::BorderStyle::RoundedRect);
    name_txt_->setFont(systemFont(16));
    name_txt_->setPlaceholderText(QStringLiteral("输入姓名"));
    name_txt_->setAccessibleName(QStringLiteral("姓名"));
    connect(name_txt_, &QLineEdit::textEdited, this, [this] { searchName(); });
    connect(name_txt_, &TextField::didEndEditing, this, [this] { searchName(); });
    connect(name_txt_, &TextField::shouldReturn, name_txt_, &TextField::resignFirstResponder);

    table_view_ = new TableView(TableView::Style::Plain, this);
    table_view_->setObjectName(QStringLiteral("table_view"));
    table_view_->setSeparatorStyle(TableView::SeparatorStyle::None);
    table_view_->setDataSource(this);
    table_view_->setDelegate(this);
    table_view_->setRowHeight(LookupRowCell::kHeight);

    result_ = observeLookup<UserSearchNotification>(this, &UserView::result);
}

void UserView::resizeEvent(QResizeEvent* event) {
    OtherBaseView::resizeEvent(event);
    if (table_view_) {
        table_view_->setGeometry(0, 50, width(), std::max(0, height() - 50));
    }
}

void UserView::searchName() {
    if (OtherFuncController* host = other_delegate()) {
        host->searchInfo({{"name", name_txt_->text().toStdString()}});
    }
}

void UserView::result(People people) {
    list_ = std::move(people);
    table_view_->reloadData();
    showNothingFound(table_view_, list_.empty());
    emit listChanged();
}

QStringList UserView::firstLine(const UserVO& person) {
    return {shownText(person.user_name), enclosed(QStringLiteral("(%1)"), person.priv_name)};
}

QString UserView::secondLine(const UserVO& person) {
    return QStringLiteral("部门：%1").arg(shownText(person.dept_name));
}

int UserView::numberOfRowsInSection(TableView*, int) {
    return int(list_.size());
}

TableViewCell* UserView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    return lookupRowCell(tableView, list_, path, &firstLine, &secondLine);
}

qreal UserView::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return LookupRowCell::kHeight;
}

void UserView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    OtherFuncController* host = other_delegate();
    if (auto record = chosenLookupRecord(tableView, list_, path); record && host) {
        host->lookDetail(std::move(record), "user");
    }
}

}  // namespace oa

// AddressView: the two fields, searching on return, and the contact list.
#include "ui/controller/lookup/AddressView.h"

#include <QLabel>

#include "ui/controller/lookup/LookupObserver.h"
#include "ui/controller/lookup/LookupRowCell.h"
#include "ui/controller/lookup/LookupText.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/controller/main/BaseView.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/TextField.h"

namespace oa {

namespace {

constexpr int kListTop = 86;

TextField* labelledField(QWidget* parent, const QString& label, const QString& placeholder,
                         const char* name, int y) {
    auto* caption = new QLabel(label, parent);
    caption->setFont(systemFont(16));
    caption->setGeometry(10, y, 55, 30);
    auto* field = new TextField(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(65, y, 245, 30);
    field->setBorderStyle(TextField::BorderStyle::RoundedRect);
    field->setFont(systemFont(16));
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(QString(label).remove(QStringLiteral("：")).trimmed());
    return field;
}

}  // namespace

AddressView::AddressView(QWidget* parent) : OtherBaseView(parent) {}

AddressView::~AddressView() {
    result_.reset();
    if (table_view_) {
        table_view_->setDataSource(nullptr);
        table_view_->setDelegate(nullptr);
    }
}

void AddressView::createView() {
    name_txt_ =
        labelledField(this, QStringLiteral("姓名："), QStringLiteral("请填写姓名"), "name_txt", 10);
    corp_txt_ =
        labelledField(this, QStringLiteral("单位："), QStringLiteral("请填写单位"), "corp_txt", 48);
    for (TextField* field : {name_txt_, corp_txt_}) {
        connect(field, &TextField::shouldReturn, this, [this] { textFieldShouldReturn(); });
    }

    table_view_ = new TableView(TableView::Style::Plain, this);
    table_view_->setObjectName(QStringLiteral("table_view"));
    table_view_->setSeparatorStyle(TableView::SeparatorStyle::None);
    table_view_->setDataSource(this);
    table_view_->setDelegate(this);
    table_view_->setRowHeight(LookupRowCell::kHeight);

    result_ = observeLookup<AddressSearchNotification>(this, &AddressView::result);
}

void AddressView::resizeEvent(QResizeEvent* event) {
    OtherBaseView::resizeEvent(event);
    if (table_view_) {
        table_view_->setGeometry(0, kListTop, width(), std::max(0, height() - kListTop));
    }
}

void AddressView::textFieldShouldReturn() {
    TextField::endEditing(this);
    if (OtherFuncController* host = other_delegate()) {
        host->searchInfo(
            {{"name", name_txt_->text().toStdString()}, {"dept", corp_txt_->text().toStdString()}});
    }
}

void AddressView::result(Contacts contacts) {
    list_ = std::move(contacts);
    table_view_->reloadData();
    showNothingFound(table_view_, list_.empty());
    emit listChanged();
}

QStringList AddressView::firstLine(const AddressVO& contact) {
    return {shownText(contact.group_name), shownText(contact.psn_name),
            enclosed(QStringLiteral("（%1）"), contact.sex)};
}

QString AddressView::secondLine(const AddressVO& contact) {
    return QStringLiteral("部门：%1").arg(shownText(contact.dept_name));
}

int AddressView::numberOfRowsInSection(TableView*, int) {
    return int(list_.size());
}

TableViewCell* AddressView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    return lookupRowCell(tableView, list_, path, &firstLine, &secondLine);
}

qreal AddressView::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return LookupRowCell::kHeight;
}

void AddressView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    OtherFuncController* host = other_delegate();
    if (auto record = chosenLookupRecord(tableView, list_, path); record && host) {
        host->lookDetail(std::move(record), "address");
    }
}

}  // namespace oa

// AddressDetailView: the label list, the values by label and the phone rows.
#include "ui/controller/lookup/AddressDetailView.h"

#include <utility>
#include <vector>

#include "ui/controller/lookup/CallOrText.h"
#include "ui/controller/lookup/CardRowCell.h"
#include "ui/controller/lookup/LookupText.h"

namespace oa {

namespace {

using Row = std::pair<const char*, Text AddressDetailVO::*>;

// Each label once; "单位名称" shows the organisation and "职务" the post.
const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"分组", &AddressDetailVO::group_name},
        {"联系人姓名", &AddressDetailVO::psn_name},
        {"性别", &AddressDetailVO::sex},
        {"部门名称", &AddressDetailVO::dept_long_name},
        {"单位名称", &AddressDetailVO::dept_name},
        {"职务", &AddressDetailVO::ministration},
        {"生日", &AddressDetailVO::birthday},
        {"工作电话", &AddressDetailVO::tel_no_dept},
        {"工作传真", &AddressDetailVO::fax_no_dept},
        {"家庭电话", &AddressDetailVO::tel_no_home},
        {"手机", &AddressDetailVO::mobil_no},
        {"昵称", &AddressDetailVO::nick_name},
        {"QQ", &AddressDetailVO::oicq_no},
        {"MSN", &AddressDetailVO::icq_no},
        {"电子邮件", &AddressDetailVO::email},
        {"配偶", &AddressDetailVO::mate},
        {"子女", &AddressDetailVO::child},
        {"单位地址", &AddressDetailVO::add_dept},
        {"单位邮编", &AddressDetailVO::post_no_dept},
        {"家庭住址", &AddressDetailVO::add_home},
        {"家庭邮编", &AddressDetailVO::post_no_home},
        {"备注", &AddressDetailVO::notes},
    };
    return table;
}

}  // namespace

AddressDetailView::AddressDetailView(QWidget* parent)
    : DetailView(parent), caller_(new CallOrText(this, this)) {}

AddressDetailView::~AddressDetailView() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

const QStringList& AddressDetailView::labels() {
    static const QStringList names = [] {
        QStringList list;
        for (const Row& row : rows()) {
            list << QString::fromUtf8(row.first);
        }
        return list;
    }();
    return names;
}

bool AddressDetailView::isPhoneRow(const QString& label) {
    return label == QStringLiteral("工作电话") || label == QStringLiteral("家庭电话") ||
           label == QStringLiteral("手机");
}

Text AddressDetailView::valueOf(const QString& label) const {
    const auto found = values_.find(label);
    return found == values_.end() ? Text() : found->second;
}

void AddressDetailView::createView(const std::shared_ptr<BaseVO>& detail) {
    values_.clear();
    if (const auto card = std::dynamic_pointer_cast<AddressDetailVO>(detail)) {
        for (const Row& row : rows()) {
            values_[QString::fromUtf8(row.first)] = (*card).*(row.second);
        }
    }
    if (!table_) {
        table_ = new TableView(TableView::Style::Grouped, this);
        table_->setObjectName(QStringLiteral("card"));
        table_->setDataSource(this);
        table_->setDelegate(this);
        table_->setGeometry(rect());
        table_->show();
    }
    table_->reloadData();
}

void AddressDetailView::resizeEvent(QResizeEvent* event) {
    DetailView::resizeEvent(event);
    if (table_) {
        table_->setGeometry(rect());
    }
}

int AddressDetailView::numberOfRowsInSection(TableView*, int) {
    return int(labels().size());
}

TableViewCell* AddressDetailView::cellForRowAtIndexPath(TableView* tableView,
                                                        const IndexPath& path) {
    auto* cell = qobject_cast<CardRowCell*>(
        tableView->dequeueReusableCellWithIdentifier(CardRowCell::identifier()));
    if (!cell) {
        cell = new CardRowCell(kPoints, kLabelWidth, kValueWidth);
    }
    const QString label = labels().value(path.row);
    const QString value = shownText(valueOf(label));
    cell->setRow(QStringLiteral("%1: ").arg(label), value, isPhoneRow(label) && !value.isEmpty());
    return cell;
}

qreal AddressDetailView::heightForRowAtIndexPath(TableView*, const IndexPath& path) {
    return CardRowCell::heightFor(shownText(valueOf(labels().value(path.row))), kPoints,
                                  kValueWidth);
}

void AddressDetailView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    tableView->deselectRowAtIndexPath(path, true);
    tapRow(labels().value(path.row));
}

void AddressDetailView::tapRow(const QString& label) {
    if (isPhoneRow(label)) {
        caller_->choose(valueOf(label));
    }
}

}  // namespace oa

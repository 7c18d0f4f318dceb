// UserDetailView: the card's values, the table and the phone rows.
#include "ui/controller/lookup/UserDetailView.h"

#include <QGuiApplication>

#include "ui/controller/lookup/AvatarPictures.h"
#include "ui/controller/lookup/CallOrText.h"
#include "ui/controller/lookup/CardRowCell.h"
#include "ui/controller/lookup/LookupText.h"

namespace oa {

namespace {

constexpr int kAvatarRowHeight = 56;
constexpr int kAvatarSize = 35;

// A value of the last seven rows: " " when missing.
QString orSpace(const Text& value) {
    return value ? shownText(value) : QStringLiteral(" ");
}

}  // namespace

UserDetailView::UserDetailView(QWidget* parent)
    : DetailView(parent), caller_(new CallOrText(this, this)) {
    connect(&AvatarPictures::shared(), &AvatarPictures::pictureReady, this,
            [this](const QString&) { showAvatar(); });
}

UserDetailView::~UserDetailView() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

const QStringList& UserDetailView::titleAry() {
    static const QStringList titles = {QStringLiteral("姓名："),     QStringLiteral("部门："),
                                       QStringLiteral("角色："),     QStringLiteral("QQ："),
                                       QStringLiteral("工作电话："), QStringLiteral("手机："),
                                       QStringLiteral("Email："),    QStringLiteral("个性签名：")};
    return titles;
}

QString UserDetailView::sexSuffix(const UserVO& person) {
    if (person.sex == "0" || person.sex == "男") {
        return QStringLiteral("(男)");
    }
    if (person.sex == "1" || person.sex == "女") {
        return QStringLiteral("(女)");
    }
    if (!person.avatar) {
        return {};
    }
    return person.avatar == "0" ? QStringLiteral("(男)") : QStringLiteral("(女)");
}

QString UserDetailView::shownName() const {
    if (!card_) {
        return {};
    }
    return shownText(card_->user_name) + sexSuffix(*card_);
}

void UserDetailView::createView(const std::shared_ptr<BaseVO>& detail) {
    if (!std::dynamic_pointer_cast<UserVO>(previousRecord())) {
        return;
    }
    card_ = std::dynamic_pointer_cast<UserVO>(detail);
    if (!card_) {
        card_ = std::make_shared<UserVO>();
    }
    const UserVO& card = *card_;
    dataAry_ = {shownText(card.avatar),  shownText(card.user_name), orSpace(card.dept_long_name),
                orSpace(card.priv_name), orSpace(card.oicq_no),     orSpace(card.tel_no_dept),
                orSpace(card.mobil_no),  orSpace(card.email),       orSpace(card.remark)};
    table_ = new TableView(TableView::Style::Grouped, this);
    table_->setObjectName(QStringLiteral("card"));
    table_->setDataSource(this);
    table_->setDelegate(this);
    table_->setGeometry(rect());
    table_->show();
    table_->reloadData();
}

void UserDetailView::resizeEvent(QResizeEvent* event) {
    DetailView::resizeEvent(event);
    if (table_) {
        table_->setGeometry(rect());
    }
}

int UserDetailView::numberOfSectionsInTableView(TableView*) {
    return 1;
}

int UserDetailView::numberOfRowsInSection(TableView*, int) {
    return card_ ? kRows : 0;
}

TableViewCell* UserDetailView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    if (path.row == 0) {
        auto* cell = new TableViewCell;
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        avatar_ = new QLabel(cell->contentView());
        avatar_->setObjectName(QStringLiteral("avatar"));
        avatar_->setGeometry(10, (kAvatarRowHeight - kAvatarSize) / 2, kAvatarSize, kAvatarSize);
        avatar_->setScaledContents(true);
        showAvatar();
        return cell;
    }
    auto* cell = qobject_cast<CardRowCell*>(
        tableView->dequeueReusableCellWithIdentifier(CardRowCell::identifier()));
    if (!cell) {
        cell = new CardRowCell(kPoints, kLabelWidth, kValueWidth);
    }
    const bool phone = path.row == kWorkPhoneRow || path.row == kMobileRow;
    const QString value = path.row == 1 ? shownName() : dataAry_.value(path.row);
    cell->setRow(titleAry().value(path.row - 1), value, phone && !value.trimmed().isEmpty());
    return cell;
}

qreal UserDetailView::heightForRowAtIndexPath(TableView*, const IndexPath& path) {
    if (path.row == 0) {
        return kAvatarRowHeight;
    }
    const QString value = path.row == 1 ? shownName() : dataAry_.value(path.row);
    return CardRowCell::heightFor(value, kPoints, kValueWidth);
}

void UserDetailView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    tableView->deselectRowAtIndexPath(path, true);
    tapRow(path.row);
}

void UserDetailView::tapRow(int row) {
    if (!card_) {
        return;
    }
    if (row == kWorkPhoneRow) {
        caller_->choose(card_->tel_no_dept);
    } else if (row == kMobileRow) {
        caller_->choose(card_->mobil_no);
    }
}

void UserDetailView::showAvatar() {
    if (!avatar_ || !card_ || !card_->avatar || card_->avatar->empty()) {
        return;
    }
    const QString name = QStringLiteral("avatar") + shownText(card_->avatar);
    const qreal scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1;
    const QImage picture = AvatarPictures::shared().picture(name, scale);
    avatar_->setPixmap(QPixmap::fromImage(picture));
}

}  // namespace oa

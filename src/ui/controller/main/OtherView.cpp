// OtherView: the rows of the "more" page and the sign-out button.
#include "ui/controller/main/OtherView.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>

#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "ui/controller/main/NewsNotifier.h"
#include "ui/controller/main/OtherService.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Switch.h"

namespace oa {

namespace {
// The button sits under the last group, inside the table, so that it scrolls with the rows:
// a page too short for all of them still reaches each one and the button.
constexpr int kButtonHeight = 44;
constexpr int kButtonMargin = 10;
constexpr int kButtonInset = 20;
}  // namespace

OtherView::OtherView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("otherView"));
}

OtherView::~OtherView() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

void OtherView::createView() {
    if (table_) {
        return;
    }
    // One background for the page, under the table and around the button.
    TableView::setGroupedBackground(this);
    table_ = new TableView(TableView::Style::Grouped, this);
    table_->setBackgroundColor(Qt::transparent);
    table_->setDataSource(this);
    table_->setDelegate(this);

    auto* footer = new QWidget;
    footer->resize(width(), kButtonHeight + 2 * kButtonMargin);
    auto* footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(kButtonInset, kButtonMargin, kButtonInset, kButtonMargin);
    signOut_ = new QPushButton(QString::fromUtf8(kSignOut), footer);
    signOut_->setFixedHeight(kButtonHeight);
    footerLayout->addWidget(signOut_);
    signOut_->setObjectName(QStringLiteral("signOutButton"));
    signOut_->setFont(boldSystemFont(17));
    signOut_->setCursor(Qt::PointingHandCursor);
    signOut_->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; border: 1px solid #8e1f1b; border-radius: 8px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ec6a5e, stop:1 #c0392b); }"
        "QPushButton:pressed { background: #a93226; }"
        "QPushButton:focus { border: 2px solid #8fd0ff; }"));
    connect(signOut_, &QPushButton::clicked, this, &OtherView::returnRoot);
    table_->setTableFooterView(footer);
    // The table loads its rows itself when the page is first shown.
    resizeEvent(nullptr);
}

void OtherView::returnRoot() {
    if (other_delegate_) {
        other_delegate_->returnRootController();
    }
}

int OtherView::numberOfSectionsInTableView(TableView*) {
    return 2;
}

int OtherView::numberOfRowsInSection(TableView*, int section) {
    // Environments, trusted certificates, the push channel and the notices switch; then the two
    // versions.
    return section == 0 ? 4 : 2;
}

TableViewCell* OtherView::cellForRowAtIndexPath(TableView*, const IndexPath& path) {
    auto* cell = new TableViewCell(TableViewCell::Style::Value1);
    if (path.section == 0 && path.row == 2) {
        const UDPListener* listener = UDPListener::existingInstance();
        cell->textLabel()->setText(QString::fromUtf8(kPushChannel));
        const auto heldPort = listener ? listener->portHeldByAnotherClient() : std::nullopt;
        cell->detailTextLabel()->setText(
            heldPort
                ? QString::fromUtf8(kPushPortHeld).arg(*heldPort)
                : QString::fromUtf8(listener && listener->isChannelUp() ? kPushUp : kPushDown));
        return cell;
    }
    if (path.section == 0 && path.row == 3) {
        cell->textLabel()->setText(QString::fromUtf8(kNewsNotices));
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        auto* on = new Switch;
        on->setObjectName(QStringLiteral("newsNoticesSwitch"));
        on->setAccessibleName(QString::fromUtf8(kNewsNotices));
        on->setOn(NewsNotifier::isSwitchedOn());
        connect(on, &Switch::valueChanged, on, [on](bool value) {
            // A failed write shows the value the next push reads.
            if (!NewsNotifier::setSwitchedOn(value)) {
                on->setOn(NewsNotifier::isSwitchedOn());
            }
        });
        cell->setAccessoryView(on);
        return cell;
    }
    if (path.section == 0) {
        cell->textLabel()->setText(path.row == 0 ? QStringLiteral("网络环境设置")
                                                 : QString::fromUtf8(kTrustedCertificates));
        cell->setAccessoryType(TableViewCell::AccessoryType::DisclosureIndicator);
        return cell;
    }
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    if (path.row == 0) {
        cell->textLabel()->setText(QStringLiteral("客户端版本号"));
        cell->detailTextLabel()->setText(QString::fromUtf8(kClientVersion));
    } else {
        cell->textLabel()->setText(QStringLiteral("Web版本号"));
        cell->detailTextLabel()->setText(
            QString::fromStdString(GlobalVar::getInstance_global().zq_ovix_version().value_or("")));
    }
    return cell;
}

void OtherView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    tableView->deselectRowAtIndexPath(path, true);
    if (path.section == 0 && path.row == 2) {
        testPushChannel();
    } else if (path.section == 0 && path.row < 2 && other_delegate_) {
        if (path.row == 0) {
            other_delegate_->enterSetController();
        } else {
            other_delegate_->enterTrustController();
        }
    }
}

void OtherView::testPushChannel() {
    ProgressHUD::showWithStatus(QString::fromUtf8(kPushTesting));
    const QPointer<OtherView> guard(this);
    LoginBO().pushSelfTest([guard](bool answered) {
        if (answered) {
            ProgressHUD::dismissWithSuccess(QString::fromUtf8(kPushTestPassed));
        } else {
            const auto port = GlobalVar::getInstance_global().ovix_zqim_port().value_or("");
            ProgressHUD::dismissWithError(
                QString::fromUtf8(kPushTestFailed).arg(QString::fromStdString(port)));
        }
        if (guard && guard->table_) {
            guard->table_->reloadData();
        }
    });
}

void OtherView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (table_) {
        table_->reloadData();
    }
}

void OtherView::resizeEvent(QResizeEvent*) {
    if (table_) {
        table_->setGeometry(rect());
    }
}

}  // namespace oa

// DesktopTray: the icon, its badge, its menu and the window kept in the tray.
#include "ui/controller/main/DesktopTray.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>

#include "core/session/LoginBO.h"
#include "core/session/PlistManager.h"
#include "ui/controller/main/NewsNotifier.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

std::optional<bool> g_availableForTesting;
constexpr int kIconSize = 64;
constexpr int kStillRunningMs = 6000;

bool toldStillRunning() {
    const auto settings = PlistManager().getSetInfo();
    return settings && settings->contains(DesktopTray::kToldKey) &&
           settings->at(DesktopTray::kToldKey) == "1";
}

}  // namespace

bool DesktopTray::isAvailable() {
    return g_availableForTesting.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void DesktopTray::setAvailableForTesting(std::optional<bool> available) {
    g_availableForTesting = available;
}

DesktopTray::DesktopTray(QWidget* window, NewsNotifier* news, std::function<void()> quit,
                         QObject* parent)
    : QObject(parent),
      window_(window),
      news_(news),
      quit_(std::move(quit)),
      menu_(std::make_unique<QMenu>()),
      icon_(std::make_unique<QSystemTrayIcon>()) {
    menu_->setObjectName(QStringLiteral("trayMenu"));
    connect(menu_->addAction(QString::fromUtf8(kOpen)), &QAction::triggered, this,
            &DesktopTray::open);
    pause_ = menu_->addAction(QString::fromUtf8(kPause));
    connect(pause_, &QAction::triggered, this, &DesktopTray::togglePause);
    menu_->addSeparator();
    connect(menu_->addAction(QString::fromUtf8(kQuit)), &QAction::triggered, this,
            &DesktopTray::quit);
    icon_->setContextMenu(menu_.get());
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    open();
                }
            });
    drawIcon();
    icon_->show();
    if (window_) {
        window_->installEventFilter(this);
    }
    // The hidden window is not the end of the client; the tray's 退出 is.
    quitOnLastWindowClosed_ = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
}

DesktopTray::~DesktopTray() {
    QApplication::setQuitOnLastWindowClosed(quitOnLastWindowClosed_);
}

void DesktopTray::setUnread(int total) {
    unread_ = std::max(0, total);
    drawIcon();
}

void DesktopTray::drawIcon() {
    QPixmap face = image(QStringLiteral("appicon"), 1);
    QPixmap picture(kIconSize, kIconSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!face.isNull()) {
        painter.drawPixmap(QRect(0, 0, kIconSize, kIconSize), face);
    }
    if (unread_ > 0) {
        const QString text = unread_ > 99 ? QStringLiteral("99+") : QString::number(unread_);
        QFont font = boldSystemFont(text.size() > 2 ? 20 : 26);
        painter.setFont(font);
        const int width = std::max(34, QFontMetrics(font).horizontalAdvance(text) + 12);
        const QRect badge(kIconSize - width, 0, width, 34);
        painter.setPen(QPen(Qt::white, 3));
        painter.setBrush(QColor(0xe2, 0x49, 0x3b));
        painter.drawRoundedRect(badge.adjusted(1, 1, -1, -1), 16, 16);
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter, text);
    }
    painter.end();
    icon_->setIcon(QIcon(picture));
    icon_->setToolTip(unread_ > 0 ? QStringLiteral("OA：%1 条未读").arg(unread_)
                                  : QStringLiteral("OA"));
}

void DesktopTray::open() {
    if (window_) {
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
    }
}

void DesktopTray::togglePause() {
    if (!news_) {
        return;
    }
    news_->setPaused(!news_->isPaused());
    pause_->setText(QString::fromUtf8(news_->isPaused() ? kResume : kPause));
}

void DesktopTray::quit() {
    // The IM service stops pushing to an address nobody listens on any more.
    LoginBO().logoutUdp();
    icon_->hide();
    if (quit_) {
        quit_();
    }
}

bool DesktopTray::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close || watched != window_ || !icon_->isVisible()) {
        return QObject::eventFilter(watched, event);
    }
    event->ignore();
    window_->hide();
    if (!toldStillRunning()) {
        icon_->showMessage(QString::fromUtf8(kStillRunning), QString::fromUtf8(kStillRunningBody),
                           QIcon(image(QStringLiteral("appicon"))), kStillRunningMs);
        PlistManager().updateSetInfo({{kToldKey, "1"}});
    }
    return true;
}

}  // namespace oa

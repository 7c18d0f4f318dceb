// Tour: the tray icon's menu under a desktop panel, and the notice of a new message as a
// desktop's notification popup shows it. Neither lives in the phone window, and a headless
// display has neither a tray nor a notification service: the tour draws both around the
// client's own menu, icon and texts.
#include <QDateTime>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <memory>

#include "app/Tour.h"
#include "ui/controller/main/DesktopTray.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/NewsNotifier.h"
#include "ui/controller/message/MessageView.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

constexpr int kPanelHeight = 28;
constexpr int kTrayIconSize = 22;

IndexController* signedIn(Window* window) {
    auto* nav =
        window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
    if (!nav || nav->isTransitioning()) {
        return nullptr;
    }
    for (ViewController* controller : nav->viewControllers()) {
        if (auto* index = qobject_cast<IndexController*>(controller)) {
            return index;
        }
    }
    return nullptr;
}

QPixmap canvas(QSize size, qreal ratio) {
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    QLinearGradient desktop(0, 0, size.width(), size.height());
    desktop.setColorAt(0, QColor(0x3b, 0x5f, 0x8a));
    desktop.setColorAt(1, QColor(0x1d, 0x2f, 0x4a));
    painter.fillRect(QRect(QPoint(), size), desktop);
    return picture;
}

// The top right of a desktop panel: the tray icon with its badge, the clock, and the icon's
// menu opened under it.
QPixmap trayPicture(DesktopTray& tray, qreal ratio) {
    QMenu* menu = tray.menu();
    menu->ensurePolished();
    menu->adjustSize();
    const QPixmap menuPicture = menu->grab();
    const QSize size(std::max(280, menuPicture.deviceIndependentSize().toSize().width() + 80),
                     kPanelHeight + menuPicture.deviceIndependentSize().toSize().height() + 40);
    QPixmap picture = canvas(size, ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, size.width(), kPanelHeight), QColor(0x1f, 0x23, 0x28));
    painter.setPen(QColor(0xe6, 0xe8, 0xeb));
    painter.setFont(systemFont(13));
    const QRect clock(size.width() - 56, 0, 48, kPanelHeight);
    painter.drawText(clock, Qt::AlignCenter, QStringLiteral("10:05"));
    const QRect icon(clock.left() - kTrayIconSize - 10, (kPanelHeight - kTrayIconSize) / 2,
                     kTrayIconSize, kTrayIconSize);
    // Opened: the icon is highlighted, as a panel does.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawRoundedRect(icon.adjusted(-4, -3, 4, 3), 4, 4);
    painter.drawPixmap(icon,
                       tray.icon()->icon().pixmap(QSize(kTrayIconSize, kTrayIconSize), ratio));
    const int menuLeft = std::min(
        icon.left(), size.width() - menuPicture.deviceIndependentSize().toSize().width() - 4);
    painter.drawPixmap(QPoint(menuLeft, kPanelHeight + 2), menuPicture);
    return picture;
}

// A notification popup in a desktop's corner: the client's icon, the title, the body and the
// "打开" action.
QPixmap noticePicture(const NewsItem& notice, qreal ratio) {
    const QSize size(420, 160);
    QPixmap picture = canvas(size, ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bubble(20, 16, 380, 128);
    QPainterPath outline;
    outline.addRoundedRect(bubble, 12, 12);
    painter.fillPath(outline.translated(0, 3), QColor(0, 0, 0, 70));
    painter.fillPath(outline, QColor(0xfb, 0xfb, 0xfc));
    const QPixmap icon = image(QStringLiteral("appicon"), ratio);
    painter.drawPixmap(QRectF(bubble.left() + 14, bubble.top() + 12, 16, 16), icon, icon.rect());
    painter.setPen(QColor(0x6b, 0x72, 0x7b));
    painter.setFont(systemFont(12));
    painter.drawText(QRectF(bubble.left() + 36, bubble.top() + 10, 200, 20),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("OA"));
    painter.drawText(QRectF(bubble.right() - 114, bubble.top() + 10, 100, 20),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("现在"));
    painter.drawPixmap(QRectF(bubble.left() + 14, bubble.top() + 40, 44, 44), icon, icon.rect());
    const qreal textLeft = bubble.left() + 70;
    const qreal textWidth = bubble.right() - 14 - textLeft;
    painter.setPen(QColor(0x1f, 0x23, 0x28));
    painter.setFont(boldSystemFont(15));
    painter.drawText(QRectF(textLeft, bubble.top() + 38, textWidth, 22), Qt::AlignLeft,
                     painter.fontMetrics().elidedText(notice.title, Qt::ElideRight,
                                                      static_cast<int>(textWidth)));
    painter.setPen(QColor(0x3d, 0x44, 0x4d));
    painter.setFont(systemFont(13));
    painter.drawText(
        QRectF(textLeft, bubble.top() + 62, textWidth, 20), Qt::AlignLeft,
        painter.fontMetrics().elidedText(notice.body, Qt::ElideRight, static_cast<int>(textWidth)));
    const QRectF action(bubble.right() - 84, bubble.bottom() - 36, 70, 26);
    painter.setPen(QColor(0xc9, 0xcf, 0xd6));
    painter.setBrush(QColor(0xee, 0xf1, 0xf4));
    painter.drawRoundedRect(action, 6, 6);
    painter.setPen(QColor(0x1f, 0x5a, 0xa0));
    painter.drawText(action, Qt::AlignCenter, QStringLiteral("打开"));
    return picture;
}

}  // namespace

void Tour::addDesktopStops() {
    Window* window = window_;
    const qreal ratio = window_->devicePixelRatioF();
    stops_.push_back({"50-tray-menu",
                      [window] { return signedIn(window) != nullptr; },
                      true,
                      [] {},
                      false,
                      {},
                      [window, ratio] {
                          IndexController* index = signedIn(window);
                          // The desktop of the tour has no tray: a tray for the picture only.
                          DesktopTray tray(nullptr, index->news(), {});
                          tray.setUnread(index->unreadTotal());
                          return trayPicture(tray, ratio);
                      }});
    stops_.push_back({"51-notification",
                      [window] { return signedIn(window) != nullptr; },
                      true,
                      [] {},
                      false,
                      {},
                      [window, ratio] {
                          IndexController* index = signedIn(window);
                          return noticePicture(
                              IndexController::messageNews(index->message_view()->list(), 1),
                              ratio);
                      }});
}

}  // namespace oa

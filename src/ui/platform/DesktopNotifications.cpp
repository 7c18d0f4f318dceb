// DesktopNotifications: the notification service's Notify call, and its fall-backs.
#include "ui/platform/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVariantMap>

#include "core/platform/Log.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

constexpr char kAppIcon[] = "appicon";
// How long the service shows a notice, in milliseconds (-1 would leave it to the service,
// which some keep on screen until clicked).
constexpr int kShownMs = 8000;
constexpr int kTrayShownMs = 8000;

}  // namespace

DesktopNotifications::DesktopNotifications(QObject* parent) : QObject(parent) {}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::setTray(QSystemTrayIcon* tray) {
    tray_ = tray;
    trayConnected_ = false;
}

void DesktopNotifications::subscribe() {
    if (subscribed_) {
        return;
    }
    subscribed_ = QDBusConnection::sessionBus().connect(
        QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
        QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
}

void DesktopNotifications::show(const QString& title, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        showInTray(title, body, QStringLiteral("no session bus"));
        return;
    }
    subscribe();
    const QString icon = imageSvgPath(QString::fromLatin1(kAppIcon));
    QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("oa-client")},
                      {QStringLiteral("category"), QStringLiteral("im.received")}};
    if (!icon.isEmpty()) {
        hints.insert(QStringLiteral("image-path"),
                     QUrl::fromLocalFile(QFileInfo(icon).absoluteFilePath()).toString());
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kInterface), QStringLiteral("Notify"));
    call << QStringLiteral("OA") << (lastViaService_ ? lastId_ : 0U)
         << (icon.isEmpty() ? QString() : QFileInfo(icon).absoluteFilePath()) << title << body
         << QStringList{QString::fromLatin1(kDefaultAction), QStringLiteral("打开")} << hints
         << kShownMs;
    // Asynchronous: a service started on demand, or a slow one, never holds up the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this,
        [this, title, body](QDBusPendingCallWatcher* finished) { sent(finished, title, body); });
}

void DesktopNotifications::sent(QDBusPendingCallWatcher* call, const QString& title,
                                const QString& body) {
    call->deleteLater();
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
        lastViaService_ = false;
        showInTray(title, body, reply.error().message());
        return;
    }
    lastId_ = reply.value();
    lastViaService_ = true;
    emit shown(true);
}

void DesktopNotifications::showInTray(const QString& title, const QString& body,
                                      const QString& why) {
    if (!tray_ || !tray_->isVisible() || !QSystemTrayIcon::supportsMessages()) {
        // Said once: the desktop will not grow a tray or a service while the client runs.
        if (!toldDropped_) {
            log("new messages are not shown: no notification service (" + why.toStdString() +
                ") and no tray");
            toldDropped_ = true;
        }
        emit dropped();
        return;
    }
    if (!trayConnected_) {
        connect(tray_, &QSystemTrayIcon::messageClicked, this, &DesktopNotifications::activated);
        trayConnected_ = true;
    }
    tray_->showMessage(title, body, QIcon(image(QString::fromLatin1(kAppIcon))), kTrayShownMs);
    emit shown(false);
}

void DesktopNotifications::actionInvoked(uint id, const QString& action) {
    // The service tells every program on the bus about every notice.
    if (lastViaService_ && id == lastId_ && action == QString::fromLatin1(kDefaultAction)) {
        emit activated();
    }
}

}  // namespace oa

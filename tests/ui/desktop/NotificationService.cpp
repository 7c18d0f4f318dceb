// NotificationService: the service's three methods and its ActionInvoked signal.
#include "NotificationService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace oa::test {

namespace {
constexpr char kConnection[] = "testNotificationService";
constexpr char kName[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
}  // namespace

NotificationService::NotificationService()
    : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QString::fromLatin1(kConnection))) {
    registered_ =
        bus_.isConnected() &&
        bus_.registerObject(QString::fromLatin1(kPath), this, QDBusConnection::ExportAllSlots) &&
        bus_.registerService(QString::fromLatin1(kName));
}

NotificationService::~NotificationService() {
    bus_.unregisterService(QString::fromLatin1(kName));
    bus_.unregisterObject(QString::fromLatin1(kPath));
    QDBusConnection::disconnectFromBus(QString::fromLatin1(kConnection));
}

uint NotificationService::Notify(const QString& appName, uint replacesId, const QString& icon,
                                 const QString& summary, const QString& body,
                                 const QStringList& actions, const QVariantMap& hints, int) {
    calls_.push_back({appName, replacesId, icon, summary, body, actions, hints});
    lastId_ = replacesId != 0 ? replacesId : nextId_++;
    return lastId_;
}

QStringList NotificationService::GetCapabilities() {
    return {QStringLiteral("actions"), QStringLiteral("body")};
}

void NotificationService::CloseNotification(uint) {}

void NotificationService::invoke(uint id, const QString& action) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kPath), QString::fromLatin1(kName), QStringLiteral("ActionInvoked"));
    signal << id << action;
    bus_.send(signal);
}

}  // namespace oa::test

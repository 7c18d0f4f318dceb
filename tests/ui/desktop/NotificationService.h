// A desktop notification service for the tests, on a connection of its own to the test's
// session bus: it records each Notify call and can report a notice as activated, as a desktop's
// notification daemon does when the user clicks it.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace oa::test {

class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };

    NotificationService();
    ~NotificationService() override;

    // Whether the service name was taken on the bus.
    bool isRegistered() const { return registered_; }
    const std::vector<Call>& calls() const { return calls_; }
    // The id the last Notify returned.
    uint lastId() const { return lastId_; }
    // Sends ActionInvoked for the notice `id`.
    void invoke(uint id, const QString& action);

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout);
    QStringList GetCapabilities();
    void CloseNotification(uint id);

private:
    QDBusConnection bus_;
    bool registered_ = false;
    std::vector<Call> calls_;
    uint nextId_ = 1;
    uint lastId_ = 0;
};

}  // namespace oa::test

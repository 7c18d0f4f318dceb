// DesktopNotifications: shows a notice on the desktop through the session bus's notification
// service (org.freedesktop.Notifications); where the bus has none, as the tray icon's message;
// where there is no tray either, not at all (one log line says so). Nothing touches the bus
// before the first notice. Main thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QDBusPendingCallWatcher;
class QSystemTrayIcon;

namespace oa {

class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    static constexpr char kService[] = "org.freedesktop.Notifications";
    static constexpr char kPath[] = "/org/freedesktop/Notifications";
    static constexpr char kInterface[] = "org.freedesktop.Notifications";
    // The action the service reports when the notice itself is clicked.
    static constexpr char kDefaultAction[] = "default";

    explicit DesktopNotifications(QObject* parent = nullptr);
    ~DesktopNotifications() override;

    // The tray icon whose message stands in for a missing notification service; may go away.
    void setTray(QSystemTrayIcon* tray);

    // Shows one notice with the client's icon; a notice of ours still shown is replaced.
    void show(const QString& title, const QString& body);

signals:
    // The user activated the last notice shown (clicked it, or the tray message).
    void activated();
    // A notice went out: through the service (`viaService`), else as the tray's message.
    void shown(bool viaService);
    // A notice could not be shown anywhere.
    void dropped();

private slots:
    // The service's signals about its notices (of every program on the bus).
    void actionInvoked(uint id, const QString& action);

private:
    void sent(QDBusPendingCallWatcher* call, const QString& title, const QString& body);
    // `why` the service did not show it.
    void showInTray(const QString& title, const QString& body, const QString& why);
    void subscribe();

    QPointer<QSystemTrayIcon> tray_;
    bool subscribed_ = false;
    bool trayConnected_ = false;
    uint lastId_ = 0;  // the service's id of our last notice; 0 before the first
    bool lastViaService_ = false;
    bool toldDropped_ = false;
};

}  // namespace oa

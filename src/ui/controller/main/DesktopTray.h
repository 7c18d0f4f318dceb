// DesktopTray: the client's icon in the desktop's tray while a user is signed in: the unread
// total as a badge on the icon and in its tooltip, and a menu to open the window, pause or
// resume notices, and quit. While it is there, closing the window keeps the client running in
// the tray (said once, the first time). Made only where the desktop has a tray. Main thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace oa {

class NewsNotifier;

class DesktopTray : public QObject {
    Q_OBJECT
public:
    static constexpr char kOpen[] = "打开";
    static constexpr char kPause[] = "暂停通知";
    static constexpr char kResume[] = "恢复通知";
    static constexpr char kQuit[] = "退出";
    static constexpr char kStillRunning[] = "OA 仍在运行";
    static constexpr char kStillRunningBody[] =
        "窗口已关闭，新消息仍会通知您。点击托盘图标可打开。";
    // The settings file's key that records that kStillRunning was said.
    static constexpr char kToldKey[] = "tray_told";

    // Whether the desktop has a tray (tests set what it answers; nullopt asks the desktop).
    static bool isAvailable();
    static void setAvailableForTesting(std::optional<bool> available);

    // `quit` ends the process once the tray has signed out of the push channel.
    DesktopTray(QWidget* window, NewsNotifier* news, std::function<void()> quit,
                QObject* parent = nullptr);
    ~DesktopTray() override;

    QSystemTrayIcon* icon() const { return icon_.get(); }
    QMenu* menu() const { return menu_.get(); }
    QAction* pauseAction() const { return pause_; }

    // The unread total shown on the icon and in its tooltip.
    void setUnread(int total);
    int unread() const { return unread_; }

    // The menu's items.
    void open();
    void togglePause();
    void quit();

protected:
    // Closing the window hides it instead, while the tray is there.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawIcon();

    QPointer<QWidget> window_;
    QPointer<NewsNotifier> news_;
    std::function<void()> quit_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QAction* pause_ = nullptr;
    int unread_ = 0;
    bool quitOnLastWindowClosed_ = true;
};

}  // namespace oa

// Window: the phone screen on the desktop, a fixed-size white window that shows one root
// controller's view over its whole area.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace oa {

class ViewController;

class Window : public QWidget {
    Q_OBJECT
public:
    // `screenSize` in points (logical pixels).
    explicit Window(QSize screenSize, QWidget* parent = nullptr);
    ~Window() override;

    // Takes ownership of the controller; a previous root is deleted.
    void setRootViewController(ViewController* controller);
    ViewController* rootViewController() const { return root_; }

    // Shows the window in front and brings the root controller on screen.
    void makeKeyAndVisible();
    // Brings the shown window to the front and gives it the keyboard, showing it again first
    // when it was minimised or hidden (to the tray, say): what another start of the client
    // for the same home asks for.
    void bringToFront();
    // Hides the window and lets its native window go, calls `change` (Qt's scale factor may
    // change then: no window of the client's is shown), and shows it again in front if it was
    // shown. The widgets stay as they are.
    void rebuildNativeWindow(const std::function<void()>& change);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void installRootView();

    QPointer<ViewController> root_;
};

}  // namespace oa

// ProgressHUD: the one progress indicator of the client, a dark rounded box in the middle of the
// window with a spinner and a status text, or a tick or a cross with a closing text that goes
// away by itself. Driven by class operations that any thread may call.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <chrono>
#include <optional>

class QGraphicsOpacityEffect;
class QPropertyAnimation;
class QTimer;

namespace oa {

class ProgressHUD : public QWidget {
    Q_OBJECT
public:
    enum class State { Hidden, Busy, Success, Error };
    Q_ENUM(State)

    // From any thread: the work is moved to the main loop (MainLoop::main()) and done in the
    // order of the calls; on the main thread it is done at once.
    //
    // Spinner with a status text (empty: spinner only), until dismissed.
    static void showWithStatus(const QString& status);
    // A ring filled to `fraction` (0 to 1; outside that range clamped, NaN as 0) with the
    // percentage in it and a status text, until dismissed or shown otherwise. Calls that follow
    // each other update the ring in place. The state is Busy.
    static void showProgress(double fraction, const QString& status);
    // Hides the indicator.
    static void dismiss();
    // Tick or cross with the text, hidden by itself after displayDuration(text).
    static void dismissWithSuccess(const QString& status);
    static void dismissWithError(const QString& status);
    static void showSuccessWithStatus(const QString& status) { dismissWithSuccess(status); }
    static void showErrorWithStatus(const QString& status) { dismissWithError(status); }

    // Main thread only: what the indicator shows now (also without a window to show it in).
    static State state();
    static QString status();
    // The fraction the ring shows, or none when no ring shows.
    static std::optional<double> progress();
    // The widget, once it has been shown in a window; nullptr before.
    static ProgressHUD* instance();

    // How long a closing text stays: long enough to read, 1.5 to 4 seconds.
    static std::chrono::milliseconds displayDuration(const QString& status);

    // Resets the state without animation, for tests.
    static void resetForTesting();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit ProgressHUD(QWidget* host);

    // Main thread only.
    static void apply(State state, const QString& status,
                      std::optional<double> progress = std::nullopt);
    static QWidget* hostWindow();
    void present(State state, const QString& status, std::optional<double> progress);
    void fadeOut();
    void layoutBox();

    State shownState_ = State::Hidden;
    QString shownStatus_;
    std::optional<double> shownProgress_;
    int spinnerStep_ = 0;
    QTimer* spinner_;
    QGraphicsOpacityEffect* opacity_;
    QPointer<QPropertyAnimation> fade_;
};

}  // namespace oa

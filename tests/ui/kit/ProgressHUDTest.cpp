// The progress indicator: driven from background threads through the main loop, closing texts
// that go by themselves, a new show cancelling that, and its place in the window.
#include <QtTest>
#include <cmath>
#include <memory>

#include "KitTest.h"
#include "core/platform/ManualLoop.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"

using namespace std::chrono_literals;

namespace oa {

class ProgressHUDTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ManualLoop> loop_;

    // Runs `task` on a new thread and waits for it; what it posts is left for the loop.
    static void fromBackground(const std::function<void()>& task) {
        runInBackground(task);
        joinBackgroundThreads();
    }

private slots:
    void init() {
        loop_ = std::make_unique<ManualLoop>();
        MainLoop::setMain(loop_.get());
        ProgressHUD::resetForTesting();
    }

    void cleanup() {
        joinBackgroundThreads();
        ProgressHUD::resetForTesting();
        MainLoop::setMain(nullptr);
        loop_.reset();
    }

    void signInFailureFromTheAttemptThread() {
        Window window(QSize(320, 480));
        window.show();
        using State = ProgressHUD::State;

        fromBackground([] { ProgressHUD::showWithStatus("正在登录中..."); });
        // Nothing is touched off the main thread: the change waits for the main loop.
        QCOMPARE(ProgressHUD::state(), State::Hidden);
        loop_->runPending();
        QCOMPARE(ProgressHUD::state(), State::Busy);
        QCOMPARE(ProgressHUD::status(), QString("正在登录中..."));
        ProgressHUD* hud = ProgressHUD::instance();
        QVERIFY(hud);
        QCOMPARE(hud->parentWidget(), &window);
        QVERIFY(hud->isVisible());
        QVERIFY((hud->geometry().center() - window.rect().center()).manhattanLength() <= 2);
        // It shows over the screen but leaves taps to it.
        QVERIFY(hud->testAttribute(Qt::WA_TransparentForMouseEvents));

        const QString failure = " [OA地址] 填写错误！";
        fromBackground([failure] { ProgressHUD::dismissWithError(failure); });
        loop_->runPending();
        QCOMPARE(ProgressHUD::state(), State::Error);
        QCOMPARE(ProgressHUD::status(), failure);
        const auto shown = ProgressHUD::displayDuration(failure);
        QVERIFY(shown >= 1500ms);
        loop_->advance(shown - 1ms);
        QCOMPARE(ProgressHUD::state(), State::Error);
        loop_->advance(1ms);
        QCOMPARE(ProgressHUD::state(), State::Hidden);
        QCOMPARE(ProgressHUD::status(), QString());
    }

    void aNewShowCancelsTheClosingText() {
        using State = ProgressHUD::State;
        ProgressHUD::dismissWithSuccess("成功");  // on the main thread: at once
        QCOMPARE(ProgressHUD::state(), State::Success);
        ProgressHUD::showWithStatus("正在加载...");
        loop_->advance(10s);
        QCOMPARE(ProgressHUD::state(), State::Busy);
        QCOMPARE(ProgressHUD::status(), QString("正在加载..."));
        ProgressHUD::dismiss();
        QCOMPARE(ProgressHUD::state(), State::Hidden);
        QCOMPARE(loop_->activeTimers(), 0);
    }

    void callsFromThreadsKeepTheirOrder() {
        // Two attempts report in turn; the last call wins, as it would on the phone.
        fromBackground([] {
            ProgressHUD::showWithStatus("a");
            ProgressHUD::dismissWithError("b");
            ProgressHUD::showWithStatus("c");
        });
        loop_->runPending();
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QCOMPARE(ProgressHUD::status(), QString("c"));
        loop_->advance(10s);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
    }

    void downloadProgressFromTheTransferThread() {
        Window window(QSize(320, 480));
        window.show();
        using State = ProgressHUD::State;
        // A transfer reports as its bytes come; only the main loop touches the widget.
        fromBackground([] {
            ProgressHUD::showProgress(0.25, "正在加载...");
            ProgressHUD::showProgress(0.5, "正在加载...");
        });
        QCOMPARE(ProgressHUD::progress(), std::nullopt);
        loop_->runPending();
        QCOMPARE(ProgressHUD::state(), State::Busy);
        QCOMPARE(ProgressHUD::status(), QString("正在加载..."));
        QCOMPARE(ProgressHUD::progress(), std::optional<double>(0.5));
        ProgressHUD* hud = ProgressHUD::instance();
        QVERIFY(hud && hud->isVisible());
        const QImage half = hud->grab().toImage();
        ProgressHUD::showProgress(0.75, "正在加载...");
        QVERIFY(hud->grab().toImage() != half);  // the ring grew
        // Out of range and not-a-number are held to the ring's ends.
        ProgressHUD::showProgress(1.7, "正在加载...");
        QCOMPARE(ProgressHUD::progress(), std::optional<double>(1.0));
        ProgressHUD::showProgress(-3, "正在加载...");
        QCOMPARE(ProgressHUD::progress(), std::optional<double>(0.0));
        ProgressHUD::showProgress(std::nan(""), "正在加载...");
        QCOMPARE(ProgressHUD::progress(), std::optional<double>(0.0));
        // Any other show ends the ring.
        ProgressHUD::showWithStatus("正在加载...");
        QCOMPARE(ProgressHUD::progress(), std::nullopt);
        ProgressHUD::showProgress(0.1, "正在加载...");
        ProgressHUD::dismissWithError("下载失败");
        QCOMPARE(ProgressHUD::progress(), std::nullopt);
        QCOMPARE(ProgressHUD::state(), State::Error);
    }

    void closingTextsStayLongerWhenLonger() {
        QVERIFY(ProgressHUD::displayDuration("成功") <
                ProgressHUD::displayDuration(" [用户名]或[密码] 填写错误！"));
        QVERIFY(ProgressHUD::displayDuration(QString(500, 'x')) <= 4000ms);
    }
};

}  // namespace oa

OA_KIT_TEST(ProgressHUDTest)
#include "ProgressHUDTest.moc"

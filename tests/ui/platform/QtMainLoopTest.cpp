// QtMainLoop: work posted from other threads runs on the main thread; timers fire and cancel.
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>

#include "ui/platform/QtMainLoop.h"
#include "ui/support/QtTestRegistry.h"

using namespace std::chrono_literals;

namespace oa {

class QtMainLoopTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QtMainLoop> loop_;

    // Runs the event loop until a timer scheduled now with `delay` has fired. Timers due earlier
    // fire before it, so anything that was going to fire by then has.
    void settle(Duration delay) {
        bool done = false;
        loop_->schedule(delay, [&done] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
    }

private slots:
    void init() {
        loop_ = std::make_unique<QtMainLoop>();
        MainLoop::setMain(loop_.get());
    }

    void cleanup() {
        joinBackgroundThreads();
        QCoreApplication::processEvents();
        MainLoop::setMain(nullptr);
        loop_.reset();
    }

    void postFromBackgroundRunsOnMainThread() {
        QThread* mainThread = QThread::currentThread();
        std::atomic<bool> backgroundWasMain{true};
        QThread* ranOn = nullptr;
        runInBackground([&] {
            backgroundWasMain = MainLoop::main().isMainThread();
            MainLoop::main().post([&] { ranOn = QThread::currentThread(); });
        });
        QTRY_VERIFY_WITH_TIMEOUT(ranOn != nullptr, 10000);
        QCOMPARE(ranOn, mainThread);
        QVERIFY(!backgroundWasMain);
        QVERIFY(loop_->isMainThread());
    }

    void postAndWaitReturnsAfterTheTaskRan() {
        int value = 0;
        std::atomic<int> seenAfterWait{-1};
        std::atomic<bool> finished{false};
        runInBackground([&] {
            MainLoop::main().postAndWait([&] { value = 42; });
            seenAfterWait = value;
            finished = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(finished.load(), 10000);
        QCOMPARE(seenAfterWait.load(), 42);
        // On the main thread it runs at once.
        loop_->postAndWait([&] { value = 7; });
        QCOMPARE(value, 7);
    }

    void oneShotTimerFiresOnce() {
        int fired = 0;
        loop_->schedule(10ms, [&] { ++fired; });
        QTRY_COMPARE_WITH_TIMEOUT(fired, 1, 10000);
        settle(60ms);
        QCOMPARE(fired, 1);
    }

    void repeatingTimerStopsWhenCancelled() {
        int ticks = 0;
        TimerHandle handle = loop_->schedule(
            5ms, [&] { ++ticks; }, true);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 10000);
        handle.cancel();
        const int atCancel = ticks;
        settle(60ms);
        QCOMPARE(ticks, atCancel);
        QVERIFY(handle.isCancelled());
    }

    void timerCancelledBeforeItsTimeNeverFires() {
        bool fired = false;
        TimerHandle handle = loop_->schedule(10ms, [&] { fired = true; });
        handle.cancel();
        settle(80ms);
        QVERIFY(!fired);
    }

    void timersFromBackgroundThreadsRunOnMainThread() {
        QThread* mainThread = QThread::currentThread();
        QThread* firedOn = nullptr;
        std::atomic<bool> cancelledFired{false};
        runInBackground([&] {
            MainLoop::main().schedule(5ms, [&] { firedOn = QThread::currentThread(); });
            // Cancelled from the thread that scheduled it, before it can have started.
            MainLoop::main().schedule(5ms, [&] { cancelledFired = true; }).cancel();
        });
        QTRY_VERIFY_WITH_TIMEOUT(firedOn != nullptr, 10000);
        QCOMPARE(firedOn, mainThread);
        joinBackgroundThreads();
        settle(60ms);
        QVERIFY(!cancelledFired);
    }
};

}  // namespace oa

OA_QT_TEST(QtMainLoopTest)
#include "QtMainLoopTest.moc"

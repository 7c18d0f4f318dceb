// The run loops: virtual-clock timers, cancellation, posting across threads.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/EventLoop.h"
#include "core/platform/ManualLoop.h"

using namespace std::chrono_literals;

namespace oa {
namespace {

TEST(ManualLoopTest, FiresDueTimersInOrderOfDueTimeOnAdvance) {
    ManualLoop loop;
    std::vector<std::string> fired;
    loop.schedule(30s, [&] { fired.push_back("30s"); });
    loop.schedule(10s, [&] { fired.push_back("10s"); });
    loop.schedule(10s, [&] { fired.push_back("10s-second"); });
    auto repeating = loop.schedule(
        20s, [&] { fired.push_back("every20"); }, true);

    loop.advance(9s);
    EXPECT_TRUE(fired.empty());
    loop.advance(1s);
    EXPECT_EQ(fired, (std::vector<std::string>{"10s", "10s-second"}));
    loop.advance(40s);  // now 50 s: every20 at 20 and 40, the 30 s one in between
    EXPECT_EQ(fired, (std::vector<std::string>{"10s", "10s-second", "every20", "30s", "every20"}));
    EXPECT_EQ(loop.now(), 50s);

    repeating.cancel();
    loop.advance(100s);
    EXPECT_EQ(fired.size(), 5u);
    EXPECT_EQ(loop.activeTimers(), 0);
}

TEST(ManualLoopTest, TimerCancelledFromItsOwnTaskStopsRepeating) {
    ManualLoop loop;
    int ticks = 0;
    TimerHandle handle;
    handle = loop.schedule(
        30s,
        [&] {
            if (++ticks == 2) {
                handle.cancel();
            }
        },
        true);
    loop.advance(300s);
    EXPECT_EQ(ticks, 2);
}

TEST(ManualLoopTest, TaskPostedByTimerRunsWithinSameAdvance) {
    ManualLoop loop;
    bool posted = false;
    loop.schedule(1s, [&] { loop.post([&] { posted = true; }); });
    loop.advance(1s);
    EXPECT_TRUE(posted);
}

TEST(ManualLoopTest, PostAndWaitFromBackgroundThreadRunsOnMainThread) {
    ManualLoop loop;
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        loop.postAndWait([&] { ranOnMain = loop.isMainThread(); });
        returned = true;
    });
    EXPECT_TRUE(loop.runUntil([&] { return ranOnMain.load(); }));
    worker.join();
    EXPECT_TRUE(returned);
    EXPECT_TRUE(ranOnMain);
}

TEST(ManualLoopTest, PostAndWaitOnMainThreadRunsAtOnce) {
    ManualLoop loop;
    bool ran = false;
    loop.postAndWait([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(loop.runPending(), 0);
}

TEST(ManualLoopTest, PostAndWaitPassesExceptionsBack) {
    ManualLoop loop;
    std::atomic<bool> caught{false};
    std::thread worker([&] {
        try {
            loop.postAndWait([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    loop.runUntil([&] { return caught.load(); });
    worker.join();
    EXPECT_TRUE(caught);
}

TEST(EventLoopTest, RunsPostsAndTimersUntilQuit) {
    EventLoop loop;
    std::vector<int> order;
    std::thread poster([&] { loop.post([&] { order.push_back(1); }); });
    loop.schedule(20ms, [&] {
        order.push_back(2);
        loop.quit();
    });
    auto cancelled = loop.schedule(5ms, [&] { order.push_back(99); });
    cancelled.cancel();
    EXPECT_TRUE(loop.runFor(10s));
    poster.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(EventLoopTest, RunForReturnsFalseAtDeadline) {
    EventLoop loop;
    EXPECT_FALSE(loop.runFor(10ms));
}

TEST(BackgroundTest, JoinWaitsForEveryBackgroundTask) {
    std::atomic<int> done{0};
    for (int i = 0; i < 8; ++i) {
        runInBackground([&] {
            std::this_thread::sleep_for(5ms);
            ++done;
        });
    }
    joinBackgroundThreads();
    EXPECT_EQ(done.load(), 8);
}

}  // namespace
}  // namespace oa

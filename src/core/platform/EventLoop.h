// A real main loop on a plain thread, for oa-cli and the demo server.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "core/platform/MainLoop.h"
#include "core/platform/TimerQueue.h"

namespace oa {

class EventLoop : public MainLoop {
public:
    EventLoop();

    void post(Task task) override;
    TimerHandle schedule(Duration delay, Task task, bool repeats = false) override;
    bool isMainThread() const override;

    // Runs posted tasks and timers on the calling thread, which becomes the main thread,
    // until quit() is called.
    void run();
    // Like run(), but returns after `limit` at the latest. Returns false on time-out.
    bool runFor(Duration limit);
    // Makes run() return once the task in progress has finished. Safe from any thread.
    void quit();

private:
    using Clock = std::chrono::steady_clock;
    bool runUntil(Clock::time_point deadline);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> posted_;               // Guarded by mutex_.
    TimerQueue<Clock::time_point> timers_;  // Guarded by mutex_.
    bool quit_ = false;                     // Guarded by mutex_.
    std::thread::id mainThread_;            // Guarded by mutex_.
};

}  // namespace oa

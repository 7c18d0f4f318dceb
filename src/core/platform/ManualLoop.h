// A main loop for tests: posted tasks run when the test says so, and timers run on a virtual
// clock that only advance() moves, so a 30-second heartbeat is tested without sleeping.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "core/platform/MainLoop.h"
#include "core/platform/TimerQueue.h"

namespace oa {

class ManualLoop : public MainLoop {
public:
    ManualLoop();

    void post(Task task) override;
    TimerHandle schedule(Duration delay, Task task, bool repeats = false) override;
    // The thread that created the loop is its main thread.
    bool isMainThread() const override;

    // Runs posted tasks (including those they post) until none is left; returns how many ran.
    int runPending();
    // Moves the virtual clock forward, running posted tasks and every timer that falls due,
    // in order of due time.
    void advance(Duration by);
    // Runs posted tasks as they arrive from other threads until `done` holds or `timeout` of
    // real time has passed. Returns whether `done` holds.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Virtual time since the loop was created.
    Duration now() const override;
    // Number of live (not cancelled) timers.
    int activeTimers();

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_cv_;
    std::deque<Task> posted_;      // Guarded by mutex_.
    TimerQueue<Duration> timers_;  // Guarded by mutex_.
    Duration now_{0};              // Guarded by mutex_.
    const std::thread::id mainThread_;
};

}  // namespace oa

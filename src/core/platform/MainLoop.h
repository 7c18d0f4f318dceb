// The main run loop port: posting work to the main thread, timers and background threads.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace oa {

using Task = std::function<void()>;
using Duration = std::chrono::milliseconds;

// Handle of a scheduled task. Copies share one timer; cancel() from any thread stops it before
// its next firing. A default-constructed handle refers to no timer.
class TimerHandle {
public:
    TimerHandle() = default;
    void cancel();
    bool isCancelled() const;
    bool isValid() const { return state_ != nullptr; }

    // Shared between the handle and the loop that fires the timer.
    struct State {
        std::atomic<bool> cancelled{false};
    };
    explicit TimerHandle(std::shared_ptr<State> state) : state_(std::move(state)) {}
    const std::shared_ptr<State>& state() const { return state_; }

private:
    std::shared_ptr<State> state_;
};

class MainLoop {
public:
    virtual ~MainLoop() = default;

    // Runs the task later on the main thread. Safe from any thread.
    virtual void post(Task task) = 0;
    // Runs the task on the main thread and returns when it has run; runs it at once when
    // called on the main thread.
    void postAndWait(Task task);
    // Runs the task on the main thread after the delay, again every delay when it repeats,
    // until the handle is cancelled.
    virtual TimerHandle schedule(Duration delay, Task task, bool repeats = false) = 0;
    virtual bool isMainThread() const = 0;
    // Monotonic time on the clock that drives this loop's timers; only differences between two
    // readings mean anything.
    virtual Duration now() const;

    // The process's main loop; set once by main() (or by a test) before any use.
    static MainLoop& main();
    static bool hasMain();
    static void setMain(MainLoop* loop);
};

// Runs the task on a new thread. The thread is tracked so that the process can wait for the
// running ones at exit (joinBackgroundThreads).
void runInBackground(Task task);
// Waits until every thread started by runInBackground has ended.
void joinBackgroundThreads();

}  // namespace oa

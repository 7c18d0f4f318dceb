// ManualLoop: the virtual-clock loop of the tests.
#include "core/platform/ManualLoop.h"

#include <algorithm>

namespace oa {

ManualLoop::ManualLoop() : mainThread_(std::this_thread::get_id()) {}

void ManualLoop::post(Task task) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    posted_cv_.notify_all();
}

TimerHandle ManualLoop::schedule(Duration delay, Task task, bool repeats) {
    std::lock_guard lock(mutex_);
    return timers_.add(now_ + delay, delay, std::move(task), repeats);
}

bool ManualLoop::isMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

int ManualLoop::runPending() {
    int ran = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty()) {
                return ran;
            }
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
        ++ran;
    }
}

void ManualLoop::advance(Duration by) {
    Duration target;
    {
        std::lock_guard lock(mutex_);
        target = now_ + by;
    }
    for (;;) {
        runPending();
        std::optional<TimerQueue<Duration>::Timer> timer;
        {
            std::lock_guard lock(mutex_);
            auto due = timers_.nextDue();
            if (!due || *due > target) {
                now_ = target;
                break;
            }
            now_ = *due;
            timer = timers_.popDue(now_);
        }
        if (timer && !timer->state->cancelled) {
            timer->task();
        }
    }
    runPending();
}

bool ManualLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    // `done` may also turn true through work on other threads that posts nothing, so wake up
    // now and then to look again.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        runPending();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::unique_lock lock(mutex_);
        auto wakeAt =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
        posted_cv_.wait_until(lock, wakeAt, [this] { return !posted_.empty(); });
    }
}

Duration ManualLoop::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

int ManualLoop::activeTimers() {
    std::lock_guard lock(mutex_);
    return timers_.size();
}

}  // namespace oa

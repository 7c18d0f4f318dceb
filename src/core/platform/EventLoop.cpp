// EventLoop: a condition-variable loop with a timer queue on the steady clock.
#include "core/platform/EventLoop.h"

namespace oa {

EventLoop::EventLoop() : mainThread_(std::this_thread::get_id()) {}

void EventLoop::post(Task task) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    wake_.notify_one();
}

TimerHandle EventLoop::schedule(Duration delay, Task task, bool repeats) {
    TimerHandle handle;
    {
        std::lock_guard lock(mutex_);
        handle = timers_.add(Clock::now() + delay, delay, std::move(task), repeats);
    }
    wake_.notify_one();
    return handle;
}

bool EventLoop::isMainThread() const {
    std::lock_guard lock(mutex_);
    return std::this_thread::get_id() == mainThread_;
}

void EventLoop::run() {
    runUntil(Clock::time_point::max());
}

bool EventLoop::runFor(Duration limit) {
    return runUntil(Clock::now() + limit);
}

void EventLoop::quit() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
}

bool EventLoop::runUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    mainThread_ = std::this_thread::get_id();
    quit_ = false;
    while (!quit_) {
        if (!posted_.empty()) {
            Task task = std::move(posted_.front());
            posted_.pop_front();
            lock.unlock();
            task();
            lock.lock();
            continue;
        }
        if (auto timer = timers_.popDue(Clock::now())) {
            lock.unlock();
            if (!timer->state->cancelled) {
                timer->task();
            }
            lock.lock();
            continue;
        }
        auto wakeAt = deadline;
        if (auto due = timers_.nextDue(); due && *due < wakeAt) {
            wakeAt = *due;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        if (wakeAt == Clock::time_point::max()) {
            wake_.wait(lock);
        } else {
            wake_.wait_until(lock, wakeAt);
        }
    }
    return true;
}

}  // namespace oa

// Ordered timers shared by the loops of the core: earliest due first, ties in scheduling order.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "core/platform/MainLoop.h"

namespace oa {

template <typename TimePoint>
class TimerQueue {
public:
    struct Timer {
        Task task;
        Duration period;
        bool repeats;
        std::shared_ptr<TimerHandle::State> state;
    };

    TimerHandle add(TimePoint due, Duration delay, Task task, bool repeats) {
        auto state = std::make_shared<TimerHandle::State>();
        timers_.emplace(Key{due, next_++}, Timer{std::move(task), delay, repeats, state});
        return TimerHandle(state);
    }

    // Due time of the earliest live timer; cancelled ones are dropped on the way.
    std::optional<TimePoint> nextDue() {
        dropCancelled();
        if (timers_.empty()) {
            return std::nullopt;
        }
        return timers_.begin()->first.first;
    }

    // Removes the earliest timer if it is due at `now`; re-inserts it when it repeats.
    std::optional<Timer> popDue(TimePoint now) {
        dropCancelled();
        if (timers_.empty() || timers_.begin()->first.first > now) {
            return std::nullopt;
        }
        auto node = timers_.extract(timers_.begin());
        Timer timer = node.mapped();
        if (timer.repeats) {
            auto period = timer.period.count() > 0 ? timer.period : Duration(1);
            timers_.emplace(Key{node.key().first + period, next_++}, timer);
        }
        return timer;
    }

    bool empty() {
        dropCancelled();
        return timers_.empty();
    }

    // Number of timers not cancelled.
    int size() const {
        int live = 0;
        for (const auto& entry : timers_) {
            live += entry.second.state->cancelled ? 0 : 1;
        }
        return live;
    }

private:
    using Key = std::pair<TimePoint, std::uint64_t>;

    void dropCancelled() {
        while (!timers_.empty() && timers_.begin()->second.state->cancelled) {
            timers_.erase(timers_.begin());
        }
    }

    std::map<Key, Timer> timers_;
    std::uint64_t next_ = 0;
};

}  // namespace oa

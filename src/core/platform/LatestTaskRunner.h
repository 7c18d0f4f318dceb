// One piece of work at a time, off the calling thread, where only the newest request matters: a
// search screen submits a search per keystroke, and a slow reply for an older text must neither
// pile up requests nor replace the result of a newer text.
#pragma once

#include <functional>
#include <memory>

#include "core/platform/MainLoop.h"

namespace oa {

// Made, used and destroyed on the main thread (MainLoop::main()).
//
// submit() starts the work on a background thread when none runs; while one runs, the work waits
// instead, replacing any work that was already waiting. So of three quick submissions the first
// and the last run, one after the other. The work returns the task that delivers its result; the
// task runs on the main loop unless the runner has been destroyed or a newer submission has come
// since, so the newest submission's result is the one delivered last. Destroying the runner drops
// the waiting work; a running one finishes on its thread (a blocking request cannot be stopped)
// and delivers nothing. The work must not capture the owner: it may outlive it.
class LatestTaskRunner {
public:
    // Runs on a background thread; returns the delivery (may be empty: nothing to deliver).
    using Work = std::function<Task()>;

    LatestTaskRunner();
    ~LatestTaskRunner();
    LatestTaskRunner(const LatestTaskRunner&) = delete;
    LatestTaskRunner& operator=(const LatestTaskRunner&) = delete;

    void submit(Work work);
    // Whether work runs or waits now.
    bool isBusy() const;

private:
    struct State;
    static void runFrom(const std::shared_ptr<State>& state, Work work, unsigned long long ticket);

    std::shared_ptr<State> state_;
};

}  // namespace oa

// LatestTaskRunner: one worker thread at a time, the newest waiting work next.
#include "core/platform/LatestTaskRunner.h"

#include <exception>
#include <mutex>
#include <utility>

#include "core/platform/Log.h"

namespace oa {

struct LatestTaskRunner::State {
    std::mutex mutex;
    Work waiting;                      // Guarded by mutex.
    bool running = false;              // Guarded by mutex.
    bool alive = true;                 // Guarded by mutex.
    unsigned long long submitted = 0;  // Guarded by mutex. Number of the newest submission.
};

LatestTaskRunner::LatestTaskRunner() : state_(std::make_shared<State>()) {}

LatestTaskRunner::~LatestTaskRunner() {
    Work dropped;
    {
        std::lock_guard lock(state_->mutex);
        state_->alive = false;
        dropped = std::move(state_->waiting);
        state_->waiting = nullptr;
    }
    // `dropped` is destroyed here, outside the guard: what it captured may take locks of its own.
}

void LatestTaskRunner::submit(Work work) {
    unsigned long long ticket = 0;
    {
        std::lock_guard lock(state_->mutex);
        ticket = ++state_->submitted;
        if (state_->running) {
            state_->waiting = std::move(work);
            return;
        }
        state_->running = true;
    }
    runInBackground([state = state_, work = std::move(work), ticket]() mutable {
        runFrom(state, std::move(work), ticket);
    });
}

bool LatestTaskRunner::isBusy() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

void LatestTaskRunner::runFrom(const std::shared_ptr<State>& state, Work work,
                               unsigned long long ticket) {
    while (work) {
        Task delivery;
        try {
            delivery = work();
        } catch (const std::exception& error) {
            log(std::string("background work failed: ") + error.what());
        } catch (...) {
            log("background work failed");
        }
        work = nullptr;
        if (delivery) {
            MainLoop::main().post([state, ticket, delivery = std::move(delivery)] {
                {
                    std::lock_guard lock(state->mutex);
                    if (!state->alive || ticket != state->submitted) {
                        return;
                    }
                }
                delivery();
            });
        }
        std::lock_guard lock(state->mutex);
        if (!state->waiting) {
            state->running = false;
            return;
        }
        work = std::move(state->waiting);
        state->waiting = nullptr;
        ticket = state->submitted;
    }
}

}  // namespace oa

// CounterRefresh: one request in flight, one waiting.
#include "core/push/CounterRefresh.h"

#include <any>
#include <exception>
#include <utility>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/push/UDPListener.h"

namespace oa {

// Main thread only, but for `fetch`, which is copied to the worker.
struct CounterRefresh::State {
    Fetch fetch;
    Apply apply;
    bool alive = true;
    bool running = false;
    std::optional<std::string> waiting;
};

CounterRefresh::CounterRefresh(Fetch fetch, Apply apply)
    : state_(std::make_shared<State>(State{std::move(fetch), std::move(apply)})) {
    pushes_ = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kModulesUdpResult, [this](const Notification& note) {
            const auto* module = std::any_cast<std::string>(&note.object);
            request(module ? *module : std::string(kAllModules));
        });
}

CounterRefresh::~CounterRefresh() {
    pushes_.reset();
    state_->alive = false;
}

void CounterRefresh::request(const std::string& module) {
    if (!state_->running) {
        start(state_, module);
    } else if (!state_->waiting || *state_->waiting == module) {
        state_->waiting = module;
    } else {
        state_->waiting = kAllModules;
    }
}

void CounterRefresh::start(const std::shared_ptr<State>& state, const std::string& module) {
    state->running = true;
    runInBackground([state, fetch = state->fetch, module] {
        std::optional<Counters> counters;
        try {
            counters = fetch(module);
        } catch (const std::exception& error) {
            log(std::string("counters not fetched: ") + error.what());
        }
        MainLoop::main().post([state, counters = std::move(counters)] {
            state->running = false;
            if (!state->alive) {
                return;
            }
            if (counters) {
                state->apply(*counters);
            }
            // Started after the dictionary is applied, so that it is applied after this one.
            if (state->alive && state->waiting && !state->running) {
                start(state, *std::exchange(state->waiting, std::nullopt));
            }
        });
    });
}

}  // namespace oa

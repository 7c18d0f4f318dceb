// The module counters of the main index, fetched again when the IM service says a module has
// news ("n^email"). A burst of such pushes, from a busy server or a flood, makes one request run
// and at most one wait, never a request and a thread per push.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/platform/NotificationCenter.h"

namespace oa {

// Made, used and destroyed on the main thread (MainLoop::main()).
class CounterRefresh {
public:
    using Counters = std::map<std::string, std::string>;
    // The request for `module` ("INIT": every module); runs on a background thread and must not
    // capture the owner, which it may outlive.
    using Fetch = std::function<Counters(const std::string& module)>;
    // Applies a fetched dictionary; runs on the main loop while the refresh exists.
    using Apply = std::function<void(const Counters&)>;

    static constexpr char kAllModules[] = "INIT";

    // Fetches again for each UDPListener::kModulesUdpResult notification from now on.
    CounterRefresh(Fetch fetch, Apply apply);
    ~CounterRefresh();
    CounterRefresh(const CounterRefresh&) = delete;
    CounterRefresh& operator=(const CounterRefresh&) = delete;

    // Fetches the counters of `module` now, or after the request that runs. Of the requests that
    // wait, one stays: for their module when they all name the same one, else for every module.
    // Every fetched dictionary is applied, in the order the requests ran.
    void request(const std::string& module);

private:
    struct State;
    static void start(const std::shared_ptr<State>& state, const std::string& module);

    std::shared_ptr<State> state_;
    ObserverToken pushes_;
};

}  // namespace oa

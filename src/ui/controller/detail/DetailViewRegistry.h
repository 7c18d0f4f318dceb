// DetailViewRegistry: which detail view the detail screen builds for a module key: the read
// pages, the schedule and the directory lookups are known from the start (tests may replace one).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace oa {

class DetailView;

class DetailViewRegistry {
public:
    using Creator = std::function<DetailView*()>;

    // A new detail view for `key`; null for a key without one.
    static DetailView* create(std::string_view key);
    // Makes `creator` the view of `key`, replacing an earlier one. Main thread only.
    static void registerView(std::string key, Creator creator);
};

}  // namespace oa

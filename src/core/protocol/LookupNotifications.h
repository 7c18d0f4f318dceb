// The notifications through which the directory searches hand their results to the screens that
// show them: the name each search posts, and the type of the object it carries. They are posted
// on the thread that ran the search; an observer that draws moves its work to the main loop.
#pragma once

#include <any>
#include <memory>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/DirectoryRecords.h"

namespace oa {

// The people a person search found, in reply order (possibly none).
struct UserSearchNotification {
    static constexpr const char* kName = "userSearch";
    using Object = std::vector<std::shared_ptr<UserVO>>;
};

// The contacts an address-book search found.
struct AddressSearchNotification {
    static constexpr const char* kName = "addressSearch";
    using Object = std::vector<std::shared_ptr<AddressVO>>;
};

// The places an area-code or post-code search found.
struct TelNoSearchNotification {
    static constexpr const char* kName = "telNoSearch";
    using Object = std::vector<TelVO>;
};

// The object of `note` as the notification `Kind` carries it; null when it holds something else.
template <class Kind>
const typename Kind::Object* lookupResult(const Notification& note) {
    return std::any_cast<typename Kind::Object>(&note.object);
}

}  // namespace oa

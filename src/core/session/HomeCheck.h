// The start-up check of oa-client and oa-cli: the home they would read a sign-in record and
// trusted server keys from is the user's own, and what they write there stays private.
#pragma once

#include <optional>
#include <string>

namespace oa {

class HomeCheck {
public:
    // Makes the process's new files private (PrivatePath::restrictNewFiles), then checks the
    // home of AppPaths::current(), its Documents/ and tmp/ folders, the settings files and the
    // trust file (PrivatePath::problem), and makes the missing folders with mode 0700. Returns
    // why the home must not be used; nothing when it may.
    static std::optional<std::string> prepare();
};

}  // namespace oa

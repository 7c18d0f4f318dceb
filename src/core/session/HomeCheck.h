// The start-up check of oa-client and oa-cli: the home they would read a sign-in record and
// trusted server keys from is the user's own, and what they write there stays private.
#pragma once

#include <optional>
#include <string>

namespace oa {

class HomeCheck {
public:
    // Makes the process's new files private (PrivatePath::restrictNewFiles), so that the folders
    // the client makes when it first writes are 0700 and its files 0600, then checks the home of
    // AppPaths::current(), its Documents/ and tmp/ folders, the settings files and the trust
    // file (PrivatePath::problem). Makes nothing: a command that only reads leaves no home
    // behind. Returns why the home must not be used; nothing when it may.
    static std::optional<std::string> prepare();
};

}  // namespace oa

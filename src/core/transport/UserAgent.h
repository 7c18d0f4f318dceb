// The User-Agent every request sends: application, version, machine, system and locale.
#pragma once

#include <string>

namespace oa {

class UserAgent {
public:
    // "name version (model; system release; locale)", worked out once per process.
    static const std::string& string();
    // The locale identifier of an environment value such as "zh_CN.UTF-8@euro" ("zh_CN");
    // "en_US_POSIX" for the C locale or none.
    static std::string localeIdentifier(const char* value);
};

}  // namespace oa

// UserAgent from the build's name and version, uname() and the locale environment.
#include "core/transport/UserAgent.h"

#include <sys/utsname.h>

#include <cstdlib>

namespace oa {

std::string UserAgent::localeIdentifier(const char* value) {
    std::string id = value ? value : "";
    const auto cut = id.find_first_of(".@");
    if (cut != std::string::npos) {
        id.erase(cut);
    }
    if (id.empty() || id == "C" || id == "POSIX") {
        return "en_US_POSIX";
    }
    return id;
}

const std::string& UserAgent::string() {
    static const std::string agent = [] {
        struct utsname system {};
        std::string model = "unknown";
        std::string name = "unknown";
        std::string release = "unknown";
        if (uname(&system) == 0) {
            model = system.machine;
            name = system.sysname;
            release = system.release;
        }
        const char* locale = std::getenv("LC_ALL");
        if (!locale || !*locale) {
            locale = std::getenv("LANG");
        }
        return std::string(OA_APP_NAME) + " " + OA_APP_VERSION + " (" + model + "; " + name + " " +
               release + "; " + localeIdentifier(locale) + ")";
    }();
    return agent;
}

}  // namespace oa

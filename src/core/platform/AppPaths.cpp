// AppPaths: resolution of the application's folders.
#include "core/platform/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <system_error>
#include <vector>

#include "core/platform/PrivatePath.h"

#ifndef OA_INSTALLED_RESOURCES_DIR
#define OA_INSTALLED_RESOURCES_DIR "../share/oa-client/resources"
#endif

namespace oa {
namespace fs = std::filesystem;

namespace {
std::mutex g_mutex;
std::optional<AppPaths> g_current;  // Guarded by g_mutex.

std::optional<fs::path> envPath(const char* name) {
    const char* value = std::getenv(name);
    if (value && *value) {
        return fs::path(value);
    }
    return std::nullopt;
}

// The home folder of the user's passwd entry; empty when there is none. A folder under the shared
// temporary folder would not do: another user could make it first and fill it.
fs::path passwdHome() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

fs::path executableDir() {
    std::error_code ec;
    auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

fs::path findResources() {
    if (auto env = envPath("OA_RESOURCES")) {
        return *env;
    }
    auto dir = executableDir();
    if (!dir.empty()) {
        for (const auto& candidate : {dir / "resources", dir / OA_INSTALLED_RESOURCES_DIR}) {
            std::error_code ec;
            if (fs::is_directory(candidate, ec)) {
                return candidate.lexically_normal();
            }
        }
    }
    return fs::path(OA_SOURCE_RESOURCES_DIR);
}
}  // namespace

AppPaths::AppPaths(fs::path home, fs::path resources)
    : home_(std::move(home)), resources_(std::move(resources)) {}

AppPaths AppPaths::resolve(const std::optional<fs::path>& homeOverride) {
    fs::path home;
    if (homeOverride && !homeOverride->empty()) {
        home = *homeOverride;
    } else if (auto env = envPath("OA_HOME")) {
        home = *env;
    } else if (auto xdg = envPath("XDG_DATA_HOME")) {
        home = *xdg / "oa-client";
    } else if (auto user = envPath("HOME")) {
        home = *user / ".local/share/oa-client";
    } else if (auto entry = passwdHome(); !entry.empty()) {
        home = entry / ".local/share/oa-client";
    } else {
        return AppPaths({}, findResources());
    }
    std::error_code ec;
    auto absolute = fs::absolute(home, ec);
    return AppPaths(ec ? home : absolute, findResources());
}

bool AppPaths::ensureDirectories() const {
    if (home_.empty()) {
        return false;
    }
    for (const auto& dir : {home_, documents(), temporary()}) {
        if (!PrivatePath::makeFolder(dir)) {
            return false;
        }
    }
    return true;
}

AppPaths AppPaths::current() {
    std::lock_guard lock(g_mutex);
    if (!g_current) {
        g_current = resolve();
    }
    return *g_current;
}

void AppPaths::setCurrent(const AppPaths& paths) {
    std::lock_guard lock(g_mutex);
    g_current = paths;
}

}  // namespace oa

// AppPaths: resolution of the application's folders.
#include "core/platform/AppPaths.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

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
        for (const auto& candidate : {dir / "resources", dir / "../share/oa-client/resources"}) {
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
    } else {
        home = fs::temp_directory_path() / ("oa-client-" + std::to_string(getuid()));
    }
    std::error_code ec;
    auto absolute = fs::absolute(home, ec);
    return AppPaths(ec ? home : absolute, findResources());
}

bool AppPaths::ensureDirectories() const {
    std::error_code ec;
    for (const auto& dir : {home_, documents(), temporary()}) {
        fs::create_directories(dir, ec);
        if (ec || !fs::is_directory(dir, ec)) {
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

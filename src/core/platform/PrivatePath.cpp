// PrivatePath: ownership and write bits, as stat() reports them.
#include "core/platform/PrivatePath.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace oa {
namespace fs = std::filesystem;

namespace {

// "alice (1000)", or the number alone for a user without a passwd entry.
std::string userText(uid_t user) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    const std::string number = "(" + std::to_string(user) + ")";
    if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name) {
        return std::string(found->pw_name) + " " + number;
    }
    return "uid " + std::to_string(user);
}

}  // namespace

std::optional<std::string> PrivatePath::problem(const fs::path& path, uid_t user) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        return path.string() +
               " cannot be checked: " + std::error_code(errno, std::generic_category()).message();
    }
    // Root may write everything anyway, so a file of root's is as safe as the user's own.
    if (info.st_uid != user && info.st_uid != 0) {
        return path.string() + " belongs to " + userText(info.st_uid) + ", not to " +
               userText(user);
    }
    const bool group = (info.st_mode & S_IWGRP) != 0;
    const bool others = (info.st_mode & S_IWOTH) != 0;
    if (group || others) {
        return path.string() + " is writable by " +
               (group && others ? "its group and other users"
                : group         ? "its group"
                                : "other users") +
               " (chmod go-w " + path.string() + ")";
    }
    return std::nullopt;
}

std::optional<std::string> PrivatePath::problem(const fs::path& path) {
    return problem(path, ::geteuid());
}

namespace {
// The umask the process started with; set once, before any thread starts.
std::optional<mode_t> g_userUmask;
}  // namespace

void PrivatePath::restrictNewFiles() {
    const mode_t previous = ::umask(077);
    if (!g_userUmask) {
        g_userUmask = previous;
    }
}

mode_t PrivatePath::exportedFileMode() {
    if (g_userUmask) {
        return 0666 & ~*g_userUmask;
    }
    // Not restricted: read the umask without changing it.
    const mode_t current = ::umask(0);
    ::umask(current);
    return 0666 & ~current;
}

bool PrivatePath::makeFolder(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) {
        return true;
    }
    if (!dir.parent_path().empty() && dir.parent_path() != dir) {
        fs::create_directories(dir.parent_path(), ec);
    }
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return fs::is_directory(dir, ec);
}

}  // namespace oa

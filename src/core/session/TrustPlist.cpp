// TrustPlist: the trusted-server list as an XML property list, written atomically.
#include "core/session/TrustPlist.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>

#include "core/platform/AppPaths.h"
#include "core/platform/FileLock.h"
#include "core/platform/Log.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/ServerCertificate.h"

namespace oa {

namespace {
namespace fs = std::filesystem;

constexpr const char* kFile = "TrustPlist.plist";
constexpr const char* kLockFile = ".trust.lock";
constexpr std::size_t kMaxFileSize = 1 << 20;

std::mutex g_writeMutex;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistDeleter>;

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

std::string errnoText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

struct Loaded {
    bool missing = false;
    bool corrupt = false;
    std::map<std::string, TrustedServer> servers;
};

std::string stringOf(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING) {
        return {};
    }
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, length) : std::string();
}

// Only a regular file is read (a FIFO planted there cannot hang the reader).
bool readBytes(const fs::path& path, std::string& bytes, bool& missing) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        missing = errno == ENOENT || errno == ENOTDIR;
        if (!missing) {
            log("cannot open " + path.string() + ": " + errnoText(errno));
        }
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::size_t>(info.st_size) <= kMaxFileSize;
    char buffer[8192];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n >= 0 && bytes.size() + static_cast<std::size_t>(n) <= kMaxFileSize;
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok;
}

Loaded load(const fs::path& path) {
    Loaded loaded;
    std::string bytes;
    if (!readBytes(path, bytes, loaded.missing)) {
        loaded.corrupt = !loaded.missing;
    } else {
        plist_t root = nullptr;
        if (!bytes.empty()) {
            plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        }
        Plist holder(root);
        if (!root || plist_get_node_type(root) != PLIST_DICT) {
            loaded.corrupt = true;
        } else {
            plist_dict_iter raw = nullptr;
            plist_dict_new_iter(root, &raw);
            std::unique_ptr<void, FreeDeleter> iterator(raw);
            for (;;) {
                char* rawKey = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(root, raw, &rawKey, &value);
                std::unique_ptr<char, FreeDeleter> key(rawKey);
                if (!key || !value) {
                    break;
                }
                TrustedServer server{key.get(), {}, {}};
                if (plist_get_node_type(value) == PLIST_DICT) {
                    server.pin = stringOf(value, "sha256");
                    server.subject = stringOf(value, "subject");
                }
                // An entry whose pin is not one trusts nothing: the whole file is suspect.
                if (ServerCertificate::fingerprintOfPin(server.pin).empty()) {
                    loaded.corrupt = true;
                    break;
                }
                loaded.servers.emplace(server.hostPort, std::move(server));
            }
        }
    }
    if (loaded.corrupt) {
        loaded.servers.clear();
        log("trusted-server list unreadable, no server trusted: " + path.string());
    }
    return loaded;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes to a new file of mode 0600 beside `target`, flushes it and renames it into place, so a
// reader sees the old list or the whole new one.
bool save(const fs::path& target, const std::map<std::string, TrustedServer>& servers) {
    Plist dict(plist_new_dict());
    for (const auto& [hostPort, server] : servers) {
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "sha256", plist_new_string(server.pin.c_str()));
        plist_dict_set_item(entry, "subject", plist_new_string(server.subject.c_str()));
        plist_dict_set_item(dict.get(), hostPort.c_str(), entry);
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict.get(), &xml, &length);
    if (!xml) {
        return false;
    }
    const std::string bytes(xml, length);
    plist_to_xml_free(xml);

    std::string temp = (target.parent_path() / ".TrustPlist.plist.XXXXXX").string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        log("cannot write " + target.string() + ": " + errnoText(errno));
        return false;
    }
    bool ok = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    const int error = errno;
    if (!ok) {
        ::unlink(temp.c_str());
        log("cannot write " + target.string() + ": " + errnoText(error));
        return false;
    }
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

// Runs a read-modify-write of the list under this process's lock and the lock file shared with
// other processes of the home.
template <typename Change>
bool update(const fs::path& path, Change change) {
    std::lock_guard threads(g_writeMutex);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const FileLock processes = FileLock::acquire(path.parent_path() / kLockFile);
    if (!processes.held()) {
        log("trusted-server list written without locking out other processes: " +
            processes.error());
    }
    Loaded loaded = load(path);
    if (!change(loaded.servers)) {
        return false;
    }
    return save(path, loaded.servers);
}

}  // namespace

std::string TrustedServer::fingerprint() const {
    return ServerCertificate::fingerprintOfPin(pin);
}

fs::path TrustPlist::filePath() const {
    return AppPaths::current().documents() / kFile;
}

std::vector<TrustedServer> TrustPlist::list() const {
    std::vector<TrustedServer> out;
    for (auto& [hostPort, server] : load(filePath()).servers) {
        out.push_back(std::move(server));
    }
    return out;
}

std::optional<TrustedServer> TrustPlist::find(const std::string& hostPort) const {
    auto servers = load(filePath()).servers;
    const auto found = servers.find(hostPort);
    if (found == servers.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool TrustPlist::trust(const TrustedServer& server) const {
    if (server.hostPort.empty() || server.fingerprint().empty()) {
        return false;
    }
    return update(filePath(), [&](std::map<std::string, TrustedServer>& servers) {
        servers[server.hostPort] = server;
        return true;
    });
}

bool TrustPlist::remove(const std::string& hostPort) const {
    return update(filePath(), [&](std::map<std::string, TrustedServer>& servers) {
        return servers.erase(hostPort) > 0;
    });
}

void TrustPlist::installAsPinSource() {
    // The file is read again only when it changed (another inode, size or time), so a request
    // costs one stat; a corrupt file is logged once per change.
    struct Cache {
        std::mutex mutex;
        fs::path path;
        struct stat seen {};
        bool valid = false;
        std::map<std::string, TrustedServer> servers;
    };
    auto cache = std::make_shared<Cache>();
    CertificatePins::shared().setSource(
        [cache](const std::string& hostPort) -> std::optional<std::string> {
            const fs::path path = TrustPlist().filePath();
            struct stat now {};
            const bool exists = ::stat(path.c_str(), &now) == 0;
            std::lock_guard lock(cache->mutex);
            const bool same =
                cache->valid && cache->path == path &&
                (exists ? cache->seen.st_ino == now.st_ino && cache->seen.st_size == now.st_size &&
                              cache->seen.st_mtim.tv_sec == now.st_mtim.tv_sec &&
                              cache->seen.st_mtim.tv_nsec == now.st_mtim.tv_nsec
                        : cache->seen.st_ino == 0);
            if (!same) {
                cache->servers = exists ? load(path).servers : decltype(cache->servers){};
                struct stat none {};
                cache->seen = exists ? now : none;
                cache->path = path;
                cache->valid = true;
            }
            const auto found = cache->servers.find(hostPort);
            if (found == cache->servers.end()) {
                return std::nullopt;
            }
            return found->second.pin;
        });
}

}  // namespace oa

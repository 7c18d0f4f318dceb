// SingleInstance: a Unix stream socket beside a lock file. The lock says who is the home's
// client (the kernel releases it when that process ends, however it ends); the socket carries
// the one request a later client makes.
#include "core/platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

#include "core/platform/Log.h"

namespace oa {
namespace fs = std::filesystem;

namespace {

constexpr char kRequest[] = "raise\n";
constexpr char kAnswer[] = "ok\n";
// How long a later client waits for the running one to take its request: the running one may
// be busy drawing a screen, or still starting (its socket not yet bound).
constexpr int kAnswerWaitMs = 5000;
constexpr auto kStartLimit = std::chrono::seconds(5);
constexpr auto kRetryDelay = std::chrono::milliseconds(20);

std::string errorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// A folder that only `user` may enter: theirs, and no access for the group or other users.
bool isPrivateFolder(const fs::path& folder, uid_t user) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == user &&
           (info.st_mode & 077) == 0;
}

// FNV-1a: the same name for the same home in every build of the client.
std::string hashText(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
    return out;
}

std::optional<sockaddr_un> addressOf(const fs::path& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = socket.native();
    if (text.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

// Waits until `fd` is readable; false on time-out or error.
bool waitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

std::string readLine(int fd, int timeoutMs) {
    std::string text;
    char buffer[16];
    while (text.size() < 64 && text.find('\n') == std::string::npos &&
           waitReadable(fd, timeoutMs)) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    return text;
}

void writeAll(int fd, const char* text) {
    // MSG_NOSIGNAL: a peer that gave up does not end this process with SIGPIPE.
    (void)::send(fd, text, std::strlen(text), MSG_NOSIGNAL);
}

}  // namespace

std::optional<fs::path> SingleInstance::socketPath(const fs::path& home, const fs::path& tmp) {
    const uid_t user = ::geteuid();
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(home, ec);
    if (ec) {
        canonical = fs::absolute(home, ec).lexically_normal();
    }
    const std::string name =
        "oa-client-" + std::to_string(user) + "-" + hashText(canonical.string()) + ".sock";
    fs::path folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && fs::path(runtime).is_absolute() && isPrivateFolder(runtime, user)) {
        folder = runtime;
    } else if (isPrivateFolder(tmp, user)) {
        folder = tmp;
    } else {
        return std::nullopt;
    }
    fs::path path = folder / name;
    if (!addressOf(path)) {
        return std::nullopt;
    }
    return path;
}

SingleInstance::SingleInstance(fs::path socket) : socket_(std::move(socket)) {}

SingleInstance::~SingleInstance() {
    if (thread_.joinable()) {
        const char wake = 'x';
        (void)::write(wakeWrite_, &wake, 1);
        thread_.join();
    }
    for (int fd : {wakeRead_, wakeWrite_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        // Still the lock's holder: no later client can have bound its own socket here yet.
        ::unlink(socket_.c_str());
    }
}

std::optional<bool> SingleInstance::askToRaise() const {
    const auto address = addressOf(socket_);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (!address || fd < 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    std::optional<bool> answered;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        answered = false;  // ENOENT, ECONNREFUSED: nobody listens (yet, or any more)
    } else {
        writeAll(fd, kRequest);
        if (readLine(fd, kAnswerWaitMs) == kAnswer) {
            answered = true;
        }
    }
    ::close(fd);
    return answered;
}

bool SingleInstance::bindSocket() {
    const auto address = addressOf(socket_);
    if (!address) {
        log("single instance: socket path too long: " + socket_.string());
        return false;
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        log("single instance: no socket: " + errorText(errno));
        return false;
    }
    // Holding the lock, whatever is at the path was left by a client that has ended.
    ::unlink(socket_.c_str());
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(listenFd_, 8) != 0) {
        log("single instance: cannot listen on " + socket_.string() + ": " + errorText(errno));
        ::close(std::exchange(listenFd_, -1));
        return false;
    }
    return true;
}

SingleInstance::Outcome SingleInstance::start() {
    const fs::path lockPath = fs::path(socket_).replace_extension(".lock");
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        FileLock lock = FileLock::tryAcquire(lockPath);
        if (lock.held()) {
            if (!bindSocket()) {
                return Outcome::Unavailable;
            }
            lock_ = std::move(lock);
            return Outcome::First;
        }
        if (lock.state() == FileLock::State::Failed) {
            log("single instance: " + lock.error());
            return Outcome::Unavailable;
        }
        // Another process holds the lock; it may not listen yet, or have just ended.
        const std::optional<bool> raised = askToRaise();
        if (!raised) {
            log("single instance: the client running for this home does not answer");
            return Outcome::Unavailable;
        }
        if (*raised) {
            return Outcome::Raised;
        }
        std::this_thread::sleep_for(kRetryDelay);
    }
    log("single instance: the client running for this home does not listen");
    return Outcome::Unavailable;
}

void SingleInstance::listen(std::function<void()> raise) {
    int pipeFds[2];
    if (listenFd_ < 0 || thread_.joinable() || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return;
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    raise_ = std::move(raise);
    thread_ = std::thread([this] { serve(); });
}

void SingleInstance::serve() {
    for (;;) {
        pollfd entries[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            log("single instance: " + errorText(errno));
            return;
        }
        if (entries[1].revents != 0) {
            return;
        }
        const int peer = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0) {
            continue;
        }
        // A peer that sends nothing holds the thread up for a second at most.
        if (readLine(peer, 1000) == kRequest) {
            raise_();
            writeAll(peer, kAnswer);
        }
        ::close(peer);
    }
}

}  // namespace oa

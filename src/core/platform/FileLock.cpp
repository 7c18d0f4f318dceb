// FileLock: open (or make) the lock file without following links, then flock it.
#include "core/platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace oa {
namespace {

std::string errnoText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// Opens the lock file read-only, making it when missing. An existing file is opened without
// O_CREAT: in a shared sticky directory such as /tmp the system refuses O_CREAT on another
// user's file, while a plain open for reading, which is all flock needs, is allowed.
int openLockFile(const std::filesystem::path& path, mode_t mode, std::string& error) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = ::open(path.c_str(), kFlags);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, mode);
            if (fd < 0 && errno == EEXIST) {
                continue;  // made by another process in between: open that one
            }
            if (fd >= 0) {
                ::fchmod(fd, mode);  // the mode asked for, whatever the umask
            }
        }
        if (fd < 0) {
            error = "cannot open lock file " + path.string() + ": " + errnoText(errno);
            return -1;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            error = "not a regular file: " + path.string();
            return -1;
        }
        return fd;
    }
    error = "cannot open lock file " + path.string() + ": it keeps disappearing";
    return -1;
}

}  // namespace

FileLock FileLock::acquire(const std::filesystem::path& path, mode_t mode) {
    return take(path, mode, true);
}

FileLock FileLock::tryAcquire(const std::filesystem::path& path, mode_t mode) {
    return take(path, mode, false);
}

FileLock FileLock::take(const std::filesystem::path& path, mode_t mode, bool wait) {
    FileLock lock;
    const int fd = openLockFile(path, mode, lock.error_);
    if (fd < 0) {
        return lock;
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            lock.state_ = State::Busy;
            lock.error_ = "already held: " + path.string();
        } else {
            lock.error_ = "cannot lock " + path.string() + ": " + errnoText(error);
        }
        return lock;
    }
    lock.fd_ = fd;
    lock.state_ = State::Held;
    lock.error_.clear();
    return lock;
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      state_(std::exchange(other.state_, State::Failed)),
      error_(std::exchange(other.error_, "no lock taken")) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::Failed);
        error_ = std::exchange(other.error_, "no lock taken");
    }
    return *this;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the only descriptor of the open file releases the lock
    }
}

}  // namespace oa

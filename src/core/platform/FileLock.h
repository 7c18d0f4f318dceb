// An exclusive advisory lock (flock) on a lock file, held for the life of the object: how
// processes of this machine agree on who may change a shared file.
#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>

namespace oa {

class FileLock {
public:
    enum class State {
        Held,    // this object holds the lock
        Busy,    // another holder has it, in this process or another (only when not waiting)
        Failed,  // the lock file could not be opened or locked
    };

    // Waits until the lock on `path` is had. The file is made with `mode` when missing and is
    // never written. Threads of one process exclude each other too.
    static FileLock acquire(const std::filesystem::path& path, mode_t mode = 0600);
    // As acquire(), but gives up at once with State::Busy when another holds the lock.
    static FileLock tryAcquire(const std::filesystem::path& path, mode_t mode = 0600);

    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Releases the lock; the file stays for the next holder.
    ~FileLock();

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    // Why the lock is not held ("" while it is).
    const std::string& error() const { return error_; }

private:
    static FileLock take(const std::filesystem::path& path, mode_t mode, bool wait);

    int fd_ = -1;
    State state_ = State::Failed;
    std::string error_ = "no lock taken";
};

}  // namespace oa

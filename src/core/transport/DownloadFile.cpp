// DownloadFile on POSIX files: write() straight from libcurl's buffers, rename() to commit.
#include "core/transport/DownloadFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace oa {

DownloadFile::DownloadFile(std::string destination)
    : destination_(std::move(destination)), partPath_(partPathOf(destination_)) {}

DownloadFile::~DownloadFile() {
    discard();
}

std::string DownloadFile::partPathOf(const std::string& destination) {
    return destination + ".part";
}

bool DownloadFile::fail(const char* what) {
    failure_ = std::string(what) + " " + partPath_ + ": " + std::strerror(errno);
    return false;
}

bool DownloadFile::open() {
    // Not through a link planted at the ".part" name.
    fd_ = ::open(partPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        return fail("cannot create");
    }
    created_ = true;
    size_ = 0;
    return true;
}

bool DownloadFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd_, bytes.data(), bytes.size());
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("cannot write");
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
        size_ += static_cast<std::uint64_t>(wrote);
    }
    return true;
}

bool DownloadFile::truncate() {
    if (size_ == 0) {
        return true;
    }
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        return fail("cannot empty");
    }
    size_ = 0;
    return true;
}

bool DownloadFile::commit() {
    if (fd_ < 0) {
        errno = EBADF;
        return fail("cannot commit");
    }
    // close() is where a full disk may show on some file systems.
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return fail("cannot close");
    }
    if (std::rename(partPath_.c_str(), destination_.c_str()) != 0) {
        return fail("cannot rename");
    }
    committed_ = true;
    return true;
}

void DownloadFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (created_ && !committed_) {
        ::unlink(partPath_.c_str());
        created_ = false;
    }
}

}  // namespace oa

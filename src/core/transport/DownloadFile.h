// The file a download streams to. The bytes go to "<destination>.part", which takes the
// destination's name only when the download is committed; a download dropped for any reason
// removes its ".part" and leaves a file already at the destination as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oa {

class DownloadFile {
public:
    explicit DownloadFile(std::string destination);
    // Discards the file unless it was committed.
    ~DownloadFile();
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    static std::string partPathOf(const std::string& destination);

    const std::string& destination() const { return destination_; }
    const std::string& partPath() const { return partPath_; }
    // Why the last operation failed (strerror text), for the log.
    const std::string& failure() const { return failure_; }

    // Creates the ".part" (readable by this user only), emptying one left by an earlier run.
    bool open();
    bool write(std::string_view bytes);
    // Empties the file, for the body of a reply that replaces the one being read.
    bool truncate();
    std::uint64_t size() const { return size_; }
    // Closes the file and gives it the destination's name, replacing a file there.
    bool commit();
    // Closes and removes the ".part". Safe to call more than once.
    void discard();

private:
    bool fail(const char* what);

    std::string destination_;
    std::string partPath_;
    std::string failure_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool created_ = false;
    bool committed_ = false;
};

}  // namespace oa

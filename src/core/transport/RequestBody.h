// The bytes of a request body as a sequence of in-memory pieces and file ranges, read in order
// so that file parts go from disk to the socket without being held in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oa {

class RequestBody {
public:
    RequestBody() = default;
    RequestBody(RequestBody&&) noexcept = default;
    RequestBody& operator=(RequestBody&&) noexcept = default;

    void append(std::string_view bytes);
    // The first `size` bytes of the file at `path`; the file is opened only when reached.
    void appendFile(std::string path, std::uint64_t size);

    std::uint64_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // True when the body is one piece in memory (no file parts), which can be sent at once.
    bool inMemory() const;
    // The whole body when inMemory().
    const std::string& bytes() const;

    // Copies the next bytes into `buffer`; 0 at the end. Returns std::nullopt when a file part
    // cannot be read in full (removed or shortened since the body was built).
    std::optional<std::size_t> read(char* buffer, std::size_t capacity);
    // Moves the read position (libcurl rewinds to resend after a redirect). False when out of
    // range.
    bool seek(std::uint64_t offset);
    // The file that could not be read, after read() returned std::nullopt.
    const std::string& failedPath() const { return failedPath_; }

private:
    struct Piece {
        std::string bytes;  // in-memory piece when path is empty
        std::string path;
        std::uint64_t size = 0;
    };
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::vector<Piece> pieces_;
    std::uint64_t size_ = 0;
    std::size_t piece_ = 0;          // piece being read
    std::uint64_t pieceOffset_ = 0;  // read position inside it
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string failedPath_;
};

}  // namespace oa

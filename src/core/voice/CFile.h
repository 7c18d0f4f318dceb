// Owner of a C stdio stream, so that every early return of the codecs closes its files.
#pragma once

#include <cstdio>
#include <string>

namespace oa {

class CFile {
public:
    CFile() = default;
    explicit CFile(std::FILE* file) : file_(file) {}
    ~CFile();
    CFile(CFile&& other) noexcept : file_(other.file_) { other.file_ = nullptr; }
    CFile& operator=(CFile&& other) noexcept;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens a file by its UTF-8 path (handed to the system as bytes, so any name the file
    // system accepts works); an empty holder when that fails.
    static CFile open(const std::string& path, const char* mode);

    // True when both paths name one existing file (also through links or "./"), so that writing
    // one would destroy the other.
    static bool sameFile(const std::string& a, const std::string& b);

    std::FILE* get() const { return file_; }
    explicit operator bool() const { return file_ != nullptr; }

    // Closes now; false when buffered output could not be written or the stream had failed.
    bool close();

private:
    std::FILE* file_ = nullptr;
};

}  // namespace oa

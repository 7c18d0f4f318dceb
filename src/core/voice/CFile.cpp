// CFile: fopen/fclose with error reporting at close.
#include "core/voice/CFile.h"

#include <filesystem>
#include <system_error>

namespace oa {

CFile::~CFile() {
    close();
}

CFile& CFile::operator=(CFile&& other) noexcept {
    if (this != &other) {
        close();
        file_ = other.file_;
        other.file_ = nullptr;
    }
    return *this;
}

CFile CFile::open(const std::string& path, const char* mode) {
    return CFile(std::fopen(path.c_str(), mode));
}

bool CFile::sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), ec) &&
           !ec;
}

bool CFile::close() {
    if (!file_) {
        return true;
    }
    const bool failed = std::ferror(file_) != 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed;
}

}  // namespace oa

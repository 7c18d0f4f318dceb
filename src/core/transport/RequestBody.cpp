// RequestBody: sequential reading across memory pieces and file ranges.
#include "core/transport/RequestBody.h"

#include <algorithm>
#include <cstring>

namespace oa {

void RequestBody::append(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    if (pieces_.empty() || !pieces_.back().path.empty()) {
        pieces_.push_back({});
    }
    pieces_.back().bytes.append(bytes);
    pieces_.back().size += bytes.size();
    size_ += bytes.size();
}

void RequestBody::appendFile(std::string path, std::uint64_t size) {
    if (size == 0) {
        return;
    }
    pieces_.push_back({{}, std::move(path), size});
    size_ += size;
}

bool RequestBody::inMemory() const {
    return pieces_.empty() || (pieces_.size() == 1 && pieces_[0].path.empty());
}

const std::string& RequestBody::bytes() const {
    static const std::string none;
    return pieces_.empty() || !pieces_[0].path.empty() ? none : pieces_[0].bytes;
}

std::optional<std::size_t> RequestBody::read(char* buffer, std::size_t capacity) {
    std::size_t written = 0;
    while (written < capacity && piece_ < pieces_.size()) {
        Piece& piece = pieces_[piece_];
        const std::uint64_t left = piece.size - pieceOffset_;
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, capacity - written));
        if (piece.path.empty()) {
            std::memcpy(buffer + written, piece.bytes.data() + pieceOffset_, want);
        } else {
            if (!file_) {
                file_.reset(std::fopen(piece.path.c_str(), "rb"));
                if (!file_ ||
                    fseeko(file_.get(), static_cast<off_t>(pieceOffset_), SEEK_SET) != 0) {
                    failedPath_ = piece.path;
                    return std::nullopt;
                }
            }
            if (std::fread(buffer + written, 1, want, file_.get()) != want) {
                failedPath_ = piece.path;
                return std::nullopt;
            }
        }
        written += want;
        pieceOffset_ += want;
        if (pieceOffset_ == piece.size) {
            file_.reset();
            ++piece_;
            pieceOffset_ = 0;
        }
    }
    return written;
}

bool RequestBody::seek(std::uint64_t offset) {
    if (offset > size_) {
        return false;
    }
    file_.reset();
    piece_ = 0;
    pieceOffset_ = 0;
    while (piece_ < pieces_.size() && offset >= pieces_[piece_].size) {
        offset -= pieces_[piece_].size;
        ++piece_;
    }
    pieceOffset_ = offset;
    return true;
}

}  // namespace oa

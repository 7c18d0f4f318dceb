// ResponseInflater on zlib's inflate with automatic gzip/zlib header detection.
#include "core/transport/ResponseInflater.h"

#include <zlib.h>

#include <algorithm>

namespace oa {

struct ResponseInflater::Stream {
    z_stream z{};
    bool open = false;
    ~Stream() {
        if (open) {
            inflateEnd(&z);
        }
    }
};

ResponseInflater::ResponseInflater(std::size_t maxOutput)
    : stream_(std::make_unique<Stream>()), maxOutput_(maxOutput) {}

ResponseInflater::~ResponseInflater() = default;

void ResponseInflater::reset(std::size_t maxOutput) {
    maxOutput_ = maxOutput;
    produced_ = 0;
    started_ = false;
    triedRaw_ = false;
    ended_ = false;
    failed_ = false;
    capExceeded_ = false;
    firstInput_.clear();
}

bool ResponseInflater::start(bool raw) {
    // 15 + 32 reads either a zlib or a gzip header; -15 is headerless deflate, which some
    // servers send under "deflate".
    const int windowBits = raw ? -15 : 15 + 32;
    if (stream_->open) {
        // Resetting keeps zlib's window allocated from one reply to the next.
        if (inflateReset2(&stream_->z, windowBits) == Z_OK) {
            started_ = true;
            return true;
        }
        inflateEnd(&stream_->z);
        stream_->open = false;
    }
    stream_->z = z_stream{};
    if (inflateInit2(&stream_->z, windowBits) != Z_OK) {
        return false;
    }
    stream_->open = true;
    started_ = true;
    return true;
}

bool ResponseInflater::feed(std::string_view input, std::string& out) {
    if (failed_) {
        return false;
    }
    if (!started_ && !start(false)) {
        failed_ = true;
        return false;
    }
    const bool framingKnown = triedRaw_ || stream_->z.total_out > 0 || firstInput_.size() > 64;
    if (!framingKnown) {
        firstInput_.append(input);
    }
    z_stream& z = stream_->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = static_cast<uInt>(input.size());
    char buffer[16384];
    while (z.avail_in > 0) {
        if (ended_) {
            // Several gzip members one after another make one body.
            if (inflateReset(&z) != Z_OK) {
                failed_ = true;
                return false;
            }
            ended_ = false;
        }
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int status = inflate(&z, Z_NO_FLUSH);
        const std::size_t got = sizeof buffer - z.avail_out;
        if (status == Z_DATA_ERROR && !triedRaw_ && produced_ == 0 && !framingKnown) {
            triedRaw_ = true;
            std::string again = std::move(firstInput_);
            firstInput_.clear();
            if (!start(true)) {
                failed_ = true;
                return false;
            }
            return feed(again, out);
        }
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            failed_ = true;
            return false;
        }
        if (got > maxOutput_ - produced_) {
            failed_ = true;
            capExceeded_ = true;
            return false;
        }
        out.append(buffer, got);
        produced_ += got;
        if (status == Z_STREAM_END) {
            ended_ = true;
        } else if (status == Z_BUF_ERROR && got == 0) {
            break;
        }
    }
    if (framingKnown || produced_ > 0) {
        firstInput_.clear();
    }
    return true;
}

bool ResponseInflater::finish() {
    return !failed_ && (!started_ || ended_);
}

}  // namespace oa

// Streaming inflation of a compressed reply body, gzip or zlib framing detected from its
// header, with a cap on the inflated size so that a small bomb cannot exhaust memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace oa {

class ResponseInflater {
public:
    explicit ResponseInflater(std::size_t maxOutput);
    ~ResponseInflater();
    ResponseInflater(const ResponseInflater&) = delete;
    ResponseInflater& operator=(const ResponseInflater&) = delete;

    // Inflates the next compressed bytes onto `out`. False once the data is corrupt or the
    // inflated size would pass the cap; nothing more is accepted after that.
    bool feed(std::string_view input, std::string& out);
    // True when the stream was complete (or no byte arrived at all).
    bool finish();

    bool capExceeded() const { return capExceeded_; }

    // Ready for the next reply, keeping zlib's buffers.
    void reset(std::size_t maxOutput);

private:
    bool start(bool raw);

    struct Stream;
    std::unique_ptr<Stream> stream_;
    std::size_t maxOutput_;
    std::size_t produced_ = 0;
    bool started_ = false;
    bool triedRaw_ = false;
    bool ended_ = false;
    bool failed_ = false;
    bool capExceeded_ = false;
    std::string firstInput_;  // kept until the framing is known, to retry as raw deflate
};

}  // namespace oa

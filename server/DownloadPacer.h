// Sends attachment downloads at a set rate (--attachment-rate), so that the client's download
// progress can be watched on a fast network. A paced reply carries its Content-Length and goes
// out a slice at a time, a twentieth of a second apart: cpp-httplib checks between slices
// whether the server is stopping, so a slow download never holds up a stop for longer.
#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace oa {

class DownloadPacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit DownloadPacer(std::size_t bytesPerSecond);

    std::size_t bytesPerSecond() const { return rate_; }
    // The most written at once: a twentieth of a second's worth, at least 1 KB.
    std::size_t sliceBytes() const;
    // When the first `sent` bytes of a reply begun at `start` may have gone out.
    Clock::time_point dueTime(Clock::time_point start, std::uint64_t sent) const;

    // Makes `res` send `data` at the rate.
    void serve(httplib::Response& res, std::string data, const std::string& mime) const;

private:
    const std::size_t rate_;
};

}  // namespace oa

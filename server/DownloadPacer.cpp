// DownloadPacer on cpp-httplib's content providers: each call writes one slice and waits until
// the bytes sent so far are due.
#include "server/DownloadPacer.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <thread>

namespace oa {

DownloadPacer::DownloadPacer(std::size_t bytesPerSecond)
    : rate_(std::max<std::size_t>(1, bytesPerSecond)) {}

std::size_t DownloadPacer::sliceBytes() const {
    return std::max<std::size_t>(1024, rate_ / 20);
}

DownloadPacer::Clock::time_point DownloadPacer::dueTime(Clock::time_point start,
                                                        std::uint64_t sent) const {
    const auto micros = static_cast<long double>(sent) * 1e6L / static_cast<long double>(rate_);
    return start + std::chrono::microseconds(static_cast<long long>(micros));
}

void DownloadPacer::serve(httplib::Response& res, std::string data, const std::string& mime) const {
    auto body = std::make_shared<const std::string>(std::move(data));
    auto start = std::make_shared<std::optional<Clock::time_point>>();
    const std::size_t slice = sliceBytes();
    res.set_content_provider(body->size(), mime,
                             [this, body, start, slice](std::size_t offset, std::size_t length,
                                                        httplib::DataSink& sink) {
                                 if (!*start) {
                                     *start = Clock::now();
                                 }
                                 const std::size_t size = std::min(slice, length);
                                 if (!sink.write(body->data() + offset, size)) {
                                     return false;
                                 }
                                 std::this_thread::sleep_until(dueTime(**start, offset + size));
                                 return true;
                             });
}

}  // namespace oa

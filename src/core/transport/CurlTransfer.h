// One HTTP exchange on a pooled libcurl handle: sends the prepared body, collects the reply in
// memory or streams it to a file (inflating it when compressed, within a size cap), follows
// redirects on the same server only, refuses replies that are cut short or coded in a way it
// cannot undo, and enforces the no-progress time-out, the deadline and cancellation.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/transport/HeaderList.h"
#include "core/transport/RequestBody.h"
#include "core/transport/RequestError.h"

namespace oa {

class DownloadFile;

// Lets another thread stop a running exchange at once (the exchange waits in
// curl_multi_poll, which the token wakes).
class CancelToken {
public:
    void cancel();
    bool isCancelled() const { return cancelled_.load(); }

    // While an exchange runs, the multi handle it waits on.
    void attach(void* multi);
    void detach();

private:
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    void* multi_ = nullptr;  // Guarded by mutex_.
};

struct TransferRequest {
    std::string url;
    std::string method;
    RequestBody* body = nullptr;           // nullptr or empty: no body
    std::string contentType;               // of the body
    std::vector<std::string> headers;      // further "Name: value" lines
    std::chrono::milliseconds timeout{0};  // without progress; zero or less: none
    // The longest the exchange may take, counted from when the body has gone out (an upload's
    // own time is bounded by `timeout` alone), redirects included; zero or less: none.
    std::chrono::milliseconds deadline{0};
    std::size_t maxResponseSize = 0;  // of the (inflated) body; libcurl caps the headers
    CancelToken* cancel = nullptr;
    // When set, the body of a reply with a status of 200-299 goes to this file, within
    // maxDownloadSize, instead of TransferResponse::body; any other reply stays in memory.
    DownloadFile* download = nullptr;
    std::size_t maxDownloadSize = 0;
    // Called on the exchange's thread as the body of a reply arrives: its bytes received so far
    // as sent (before inflating), and its Content-Length when it has one.
    std::function<void(std::uint64_t received, std::optional<std::uint64_t> expected)> progress;
};

struct TransferResponse {
    std::optional<RequestError> error;
    int statusCode = 0;
    HeaderList headers;  // of the last reply, after redirects
    std::string body;    // inflated when the reply was compressed; empty on error or when
                         // it went to the download file
};

class CurlTransfer {
public:
    static TransferResponse perform(const TransferRequest& request);
};

}  // namespace oa

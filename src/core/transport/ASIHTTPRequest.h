// The general HTTP request: a URL, a method, a time-out without progress and a deadline, and the
// reply as bytes or decoded text, or streamed to a file. Sent synchronously on the caller's
// thread or asynchronously on the shared queue with callbacks on the main thread. Every request
// shares one cookie store and reuses open connections.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/transport/ASIHTTPRequestDelegate.h"
#include "core/transport/HeaderList.h"
#include "core/transport/RequestBody.h"
#include "core/transport/RequestError.h"

namespace oa {

class CancelToken;

class ASIHTTPRequest : public std::enable_shared_from_this<ASIHTTPRequest> {
public:
    static constexpr double kDefaultTimeOutSeconds = 10;
    static constexpr double kDefaultDeadlineSeconds = 30;
    // Largest reply held in memory, counted after inflating a compressed body.
    static constexpr std::size_t kDefaultMaxResponseSize = 64u << 20;
    // Largest reply body streamed to a download file.
    static constexpr std::size_t kDefaultMaxDownloadSize = std::size_t{1} << 30;
    // Shortest time between two progress callbacks of one download, but for the last.
    static constexpr std::chrono::milliseconds kProgressInterval{100};

    // A plain "GET" request.
    static std::shared_ptr<ASIHTTPRequest> requestWithURL(std::string url);
    explicit ASIHTTPRequest(std::string url);
    virtual ~ASIHTTPRequest();
    ASIHTTPRequest(const ASIHTTPRequest&) = delete;
    ASIHTTPRequest& operator=(const ASIHTTPRequest&) = delete;

    // Set up before starting.
    const std::string& url() const { return url_; }
    const std::string& requestMethod() const { return requestMethod_; }
    void setRequestMethod(std::string method) { requestMethod_ = std::move(method); }
    // Seconds without a byte moving in either direction after which the request fails;
    // zero or less waits for ever.
    double timeOutSeconds() const { return timeOutSeconds_; }
    void setTimeOutSeconds(double seconds) { timeOutSeconds_ = seconds; }
    // Seconds the whole exchange of a reply held in memory may take, counted once the request
    // body has gone out, after which it fails as timed out however steadily bytes arrive; zero or
    // less: none. A download to a file has no deadline: it keeps the time-out and its size cap.
    double deadlineSeconds() const { return deadlineSeconds_; }
    void setDeadlineSeconds(double seconds) { deadlineSeconds_ = seconds; }
    // The charset of the reply when its Content-Type names none (an iconv name such as
    // "UTF-8", "GBK"); "ISO-8859-1" unless set.
    const std::string& defaultResponseEncoding() const { return defaultResponseEncoding_; }
    void setDefaultResponseEncoding(std::string charset);
    // A reply body held in memory larger than this fails the request with ResponseTooLarge and
    // is dropped, so that no reply grows without bound in memory.
    std::size_t maxResponseSize() const { return maxResponseSize_; }
    void setMaxResponseSize(std::size_t bytes) { maxResponseSize_ = bytes; }
    // Where the body of a reply with a status of 200-299 is saved instead of responseData().
    // It streams to "<path>.part", which becomes <path> (replacing a file there) only once the
    // reply is complete; after a failure, a cancel, a time-out or any other status the ".part"
    // is gone and a file already at <path> is left as it was. The body of another status is
    // held in memory as usual. Empty (the default): the reply is held in memory.
    const std::string& downloadDestinationPath() const { return downloadDestinationPath_; }
    void setDownloadDestinationPath(std::string path) {
        downloadDestinationPath_ = std::move(path);
    }
    // The cap of a body streamed to the download file, counted after inflating.
    std::size_t maxDownloadSize() const { return maxDownloadSize_; }
    void setMaxDownloadSize(std::size_t bytes) { maxDownloadSize_ = bytes; }
    // A header sent besides the ones every request carries. A name or value with a line break
    // is ignored, since it would end the header early.
    void addRequestHeader(const std::string& name, const std::string& value);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // The receiver of the asynchronous callbacks. A plain pointer must be cleared
    // (clearDelegatesAndCancel) before the delegate dies, on the main thread; a weak one is
    // checked on the main thread before every callback.
    void setDelegate(ASIHTTPRequestDelegate* delegate);
    void setDelegate(std::weak_ptr<ASIHTTPRequestDelegate> delegate);

    // Sends the request and returns when it has finished or failed. A request that failed
    // before it was started (a missing file) returns at once without sending anything.
    void startSynchronous();
    // Hands the request to the shared queue (at most 4 running at once) and returns at once.
    // The request must be owned by a std::shared_ptr.
    void startAsynchronous();
    // Stops the request from any thread; a delegate still set hears requestFailed.
    void cancel();
    // Detaches the delegate and cancels; no callback follows.
    void clearDelegatesAndCancel();
    bool isCancelled() const;
    // The request has run (or was skipped) and its result is in place.
    bool isFinished() const { return finished_.load(); }

    // Results, read once the request has ended.
    const std::optional<RequestError>& error() const { return error_; }
    int responseStatusCode() const { return responseStatusCode_; }
    const HeaderList& responseHeaders() const { return responseHeaders_; }
    // The last header of that name, compared without regard to case.
    std::optional<std::string> responseHeader(std::string_view name) const;
    // The reply body, inflated when it came compressed; empty when the request failed or the
    // body went to the download file.
    const std::string& responseData() const { return responseData_; }
    // The charset responseString() decodes with: the one the reply names when this machine
    // knows it, otherwise defaultResponseEncoding().
    std::string responseEncoding() const;
    // The reply body as UTF-8.
    std::string responseString() const;

    // Forgets every cookie of the shared store.
    static void clearSession();

protected:
    // Builds the body just before the request is sent. The general request sends none; the
    // form request overrides this. An error returned fails the request unsent.
    virtual std::optional<RequestError> buildRequestBody(RequestBody& body,
                                                         std::string& contentType);
    // Fails the request before it starts; it will not be sent.
    void failWithError(RequestError error);

private:
    friend class RequestQueue;
    enum class Callback { Started, Finished, Failed };

    // `queued`: runs on the queue, so that a download reports its progress.
    void run(bool queued);
    // Runs on a queue thread: the exchange between the two callbacks.
    void runQueued();
    void post(Callback callback);
    void deliver(Callback callback);
    // Posts a progress callback unless one went out less than kProgressInterval ago; `last`
    // posts any bytes not yet reported.
    void noteProgress(std::uint64_t received, std::optional<std::uint64_t> expected, bool last);
    void deliverProgress(std::uint64_t received, std::optional<std::uint64_t> expected);
    bool hasDelegate() const;
    ASIHTTPRequestDelegate* currentDelegate(std::shared_ptr<ASIHTTPRequestDelegate>& keep);

    std::string url_;
    std::string requestMethod_ = "GET";
    double timeOutSeconds_ = kDefaultTimeOutSeconds;
    double deadlineSeconds_ = kDefaultDeadlineSeconds;
    std::string defaultResponseEncoding_ = "ISO-8859-1";
    std::size_t maxResponseSize_ = kDefaultMaxResponseSize;
    std::string downloadDestinationPath_;
    std::size_t maxDownloadSize_ = kDefaultMaxDownloadSize;
    std::vector<std::string> requestHeaders_;  // "Name: value"
    int tag_ = 0;

    mutable std::mutex delegateMutex_;
    ASIHTTPRequestDelegate* delegate_ = nullptr;          // Guarded by delegateMutex_.
    std::weak_ptr<ASIHTTPRequestDelegate> weakDelegate_;  // Guarded by delegateMutex_.
    bool delegateIsWeak_ = false;                         // Guarded by delegateMutex_.

    std::unique_ptr<CancelToken> cancel_;
    std::atomic<bool> finished_{false};
    std::optional<RequestError> failedBeforeStart_;

    // Written by the thread that runs the request, read after it has ended.
    std::optional<RequestError> error_;
    int responseStatusCode_ = 0;
    HeaderList responseHeaders_;
    std::string responseData_;

    // Progress of a queued download. Touched only by the thread that runs the request.
    std::uint64_t progressReceived_ = 0;
    std::optional<std::uint64_t> progressExpected_;
    std::optional<std::uint64_t> progressReported_;
    std::chrono::steady_clock::time_point progressPostedAt_;
};

}  // namespace oa

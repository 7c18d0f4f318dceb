// ASIHTTPRequest: preparing the exchange, the results, and the asynchronous callbacks.
#include "core/transport/ASIHTTPRequest.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/transport/CharsetDecoder.h"
#include "core/transport/CurlPool.h"
#include "core/transport/CurlTransfer.h"
#include "core/transport/DownloadFile.h"
#include "core/transport/RequestQueue.h"
#include "core/transport/SendableUrl.h"

namespace oa {

std::shared_ptr<ASIHTTPRequest> ASIHTTPRequest::requestWithURL(std::string url) {
    return std::make_shared<ASIHTTPRequest>(std::move(url));
}

ASIHTTPRequest::ASIHTTPRequest(std::string url)
    : url_(std::move(url)), cancel_(std::make_unique<CancelToken>()) {}

ASIHTTPRequest::~ASIHTTPRequest() = default;

void ASIHTTPRequest::setDefaultResponseEncoding(std::string charset) {
    if (!CharsetDecoder::isKnown(charset)) {
        log("unknown response encoding \"" + charset + "\", replies will read as ISO-8859-1");
    }
    defaultResponseEncoding_ = std::move(charset);
}

void ASIHTTPRequest::setDelegate(ASIHTTPRequestDelegate* delegate) {
    std::lock_guard lock(delegateMutex_);
    delegate_ = delegate;
    weakDelegate_.reset();
    delegateIsWeak_ = false;
}

void ASIHTTPRequest::setDelegate(std::weak_ptr<ASIHTTPRequestDelegate> delegate) {
    std::lock_guard lock(delegateMutex_);
    delegate_ = nullptr;
    weakDelegate_ = std::move(delegate);
    delegateIsWeak_ = true;
}

ASIHTTPRequestDelegate* ASIHTTPRequest::currentDelegate(
    std::shared_ptr<ASIHTTPRequestDelegate>& keep) {
    std::lock_guard lock(delegateMutex_);
    if (delegateIsWeak_) {
        keep = weakDelegate_.lock();
        return keep.get();
    }
    return delegate_;
}

bool ASIHTTPRequest::hasDelegate() const {
    // Not weak_ptr::lock(): the last reference must never be dropped off the main thread.
    std::lock_guard lock(delegateMutex_);
    return delegateIsWeak_ ? !weakDelegate_.expired() : delegate_ != nullptr;
}

void ASIHTTPRequest::cancel() {
    cancel_->cancel();
}

void ASIHTTPRequest::clearDelegatesAndCancel() {
    {
        std::lock_guard lock(delegateMutex_);
        delegate_ = nullptr;
        weakDelegate_.reset();
        delegateIsWeak_ = false;
    }
    cancel();
}

bool ASIHTTPRequest::isCancelled() const {
    return cancel_->isCancelled();
}

void ASIHTTPRequest::failWithError(RequestError error) {
    if (!failedBeforeStart_) {
        failedBeforeStart_ = error;
        error_ = std::move(error);
    }
}

std::optional<RequestError> ASIHTTPRequest::buildRequestBody(RequestBody&, std::string&) {
    return std::nullopt;
}

void ASIHTTPRequest::startSynchronous() {
    finished_ = false;
    run(false);
    finished_ = true;
}

void ASIHTTPRequest::addRequestHeader(const std::string& name, const std::string& value) {
    const std::string line = name + ": " + value;
    if (name.empty() || line.find_first_of("\r\n") != std::string::npos) {
        return;
    }
    requestHeaders_.push_back(line);
}

void ASIHTTPRequest::run(bool queued) {
    error_.reset();
    responseStatusCode_ = 0;
    responseHeaders_.clear();
    responseData_.clear();
    if (failedBeforeStart_) {
        error_ = failedBeforeStart_;
        return;
    }
    if (cancel_->isCancelled()) {
        error_ = RequestError::make(RequestErrorType::Cancelled);
        return;
    }
    if (!isSendableUrl(url_)) {
        error_ = RequestError::make(RequestErrorType::UnableToCreateRequest);
        return;
    }
    RequestBody body;
    std::string contentType;
    if (auto failure = buildRequestBody(body, contentType)) {
        error_ = std::move(failure);
        return;
    }
    TransferRequest request;
    request.url = url_;
    request.method = requestMethod_;
    for (char& c : request.method) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    if (!body.empty() &&
        (request.method == "GET" || request.method == "DELETE" || request.method == "HEAD")) {
        request.method = "POST";
    }
    request.body = &body;
    request.contentType = std::move(contentType);
    const auto milliseconds = [](double seconds) {
        return std::chrono::milliseconds(
            static_cast<long long>(std::ceil(std::min(seconds, 1e9) * 1000)));
    };
    if (timeOutSeconds_ > 0) {
        request.timeout = milliseconds(timeOutSeconds_);
    }
    if (deadlineSeconds_ > 0 && downloadDestinationPath_.empty()) {
        request.deadline = milliseconds(deadlineSeconds_);
    }
    request.maxResponseSize = maxResponseSize_;
    request.cancel = cancel_.get();
    request.headers = requestHeaders_;

    // Removes its ".part" when it goes out of scope uncommitted, whatever ends the exchange.
    std::unique_ptr<DownloadFile> download;
    if (!downloadDestinationPath_.empty()) {
        download = std::make_unique<DownloadFile>(downloadDestinationPath_);
        if (!download->open()) {
            log("download to " + downloadDestinationPath_ + " failed: " + download->failure());
            error_ = RequestError::make(RequestErrorType::DownloadFileFailed, download->partPath());
            return;
        }
        request.download = download.get();
        request.maxDownloadSize = maxDownloadSize_;
        if (queued) {
            progressReceived_ = 0;
            progressExpected_.reset();
            progressReported_.reset();
            request.progress = [this](std::uint64_t received,
                                      std::optional<std::uint64_t> expected) {
                noteProgress(received, expected, false);
            };
        }
    }

    TransferResponse response = CurlTransfer::perform(request);
    error_ = std::move(response.error);
    responseStatusCode_ = response.statusCode;
    responseHeaders_ = std::move(response.headers);
    responseData_ = std::move(response.body);
    if (download && !error_ && responseStatusCode_ >= 200 && responseStatusCode_ < 300) {
        if (!download->commit()) {
            log("download to " + downloadDestinationPath_ + " failed: " + download->failure());
            error_ =
                RequestError::make(RequestErrorType::DownloadFileFailed, downloadDestinationPath_);
            return;
        }
        if (queued) {
            noteProgress(progressReceived_, progressExpected_, true);
        }
    }
}

void ASIHTTPRequest::noteProgress(std::uint64_t received, std::optional<std::uint64_t> expected,
                                  bool last) {
    progressReceived_ = received;
    progressExpected_ = expected;
    if (progressReported_ == received) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const bool whole = expected && received >= *expected;
    if (!last && !whole && progressReported_ && now - progressPostedAt_ < kProgressInterval) {
        return;
    }
    progressReported_ = received;
    progressPostedAt_ = now;
    if (!hasDelegate() || !MainLoop::hasMain()) {
        return;
    }
    MainLoop::main().post([self = shared_from_this(), received, expected] {
        self->deliverProgress(received, expected);
    });
}

void ASIHTTPRequest::deliverProgress(std::uint64_t received,
                                     std::optional<std::uint64_t> expected) {
    std::shared_ptr<ASIHTTPRequestDelegate> keep;
    if (ASIHTTPRequestDelegate* delegate = currentDelegate(keep)) {
        delegate->requestReceivedBytes(*this, received, expected);
    }
}

void ASIHTTPRequest::startAsynchronous() {
    RequestQueue::shared().add(shared_from_this());
}

void ASIHTTPRequest::runQueued() {
    if (failedBeforeStart_ || cancel_->isCancelled()) {
        run(true);  // sets the error without sending
        post(Callback::Failed);
        finished_ = true;
        return;
    }
    post(Callback::Started);
    run(true);
    post(error_ ? Callback::Failed : Callback::Finished);
    finished_ = true;
}

void ASIHTTPRequest::post(Callback callback) {
    if (!hasDelegate()) {
        return;  // nobody listens; deliver() checks again on the main thread
    }
    if (!MainLoop::hasMain()) {
        log("request callback dropped: no main loop");
        return;
    }
    MainLoop::main().post([self = shared_from_this(), callback] { self->deliver(callback); });
}

void ASIHTTPRequest::deliver(Callback callback) {
    std::shared_ptr<ASIHTTPRequestDelegate> keep;
    ASIHTTPRequestDelegate* delegate = currentDelegate(keep);
    if (!delegate) {
        return;
    }
    switch (callback) {
        case Callback::Started:
            delegate->requestStarted(*this);
            break;
        case Callback::Finished:
            delegate->requestFinished(*this);
            break;
        case Callback::Failed:
            delegate->requestFailed(*this);
            break;
    }
}

std::optional<std::string> ASIHTTPRequest::responseHeader(std::string_view name) const {
    const std::string* value = findHeader(responseHeaders_, name);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

std::string ASIHTTPRequest::responseEncoding() const {
    if (const auto type = responseHeader("Content-Type")) {
        if (auto charset = CharsetDecoder::charsetOf(*type);
            charset && CharsetDecoder::isKnown(*charset)) {
            return *charset;
        }
    }
    return defaultResponseEncoding_;
}

std::string ASIHTTPRequest::responseString() const {
    return CharsetDecoder::toUtf8(responseData_, responseEncoding());
}

void ASIHTTPRequest::clearSession() {
    CurlPool::shared().clearCookies();
}

}  // namespace oa

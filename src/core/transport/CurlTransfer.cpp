// CurlTransfer: the per-request options, the callbacks and the wait loop of one exchange.
#include "core/transport/CurlTransfer.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/platform/Log.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/CurlPool.h"
#include "core/transport/DownloadFile.h"
#include "core/transport/FormBody.h"
#include "core/transport/ReplyFraming.h"
#include "core/transport/ResponseInflater.h"
#include "core/transport/ServerAddress.h"

namespace oa {

using Clock = std::chrono::steady_clock;

struct TransferState {
    const TransferRequest* request = nullptr;
    TransferResponse* response = nullptr;
    PooledHandle* handle = nullptr;
    ResponseInflater* inflater = nullptr;  // the handle's, while the reply is compressed
    bool encodingKnown = false;
    // Of the reply being read (a redirect or an interim reply starts another).
    bool headersEnded = false;
    std::optional<std::uint64_t> contentLength;
    bool toFile = false;          // the body goes to request->download
    std::uint64_t bodyBytes = 0;  // as received, before inflating
    std::string inflated;         // scratch for a compressed body going to the file
    bool readFailed = false;
    std::optional<RequestError> failure;  // why a callback stopped the transfer
    std::string failureReason;            // the same, for the log
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    Clock::time_point lastProgress = Clock::now();
    std::optional<Clock::time_point> bodySentAt;  // where the deadline counts from
};

void CancelToken::cancel() {
    cancelled_ = true;
    std::lock_guard lock(mutex_);
    if (multi_) {
        curl().multi_wakeup(static_cast<CURLM*>(multi_));
    }
}

void CancelToken::attach(void* multi) {
    std::lock_guard lock(mutex_);
    multi_ = multi;
}

void CancelToken::detach() {
    std::lock_guard lock(mutex_);
    multi_ = nullptr;
}

namespace {

// "timeout=N" of a Keep-Alive header, or -1.
long keepAliveTimeout(const HeaderList& headers) {
    const std::string* value = findHeader(headers, "Keep-Alive");
    if (!value) {
        return -1;
    }
    constexpr std::string_view kKey = "timeout=";
    for (std::size_t at = 0; at + kKey.size() <= value->size(); ++at) {
        if (!equalsIgnoringCase(std::string_view(*value).substr(at, kKey.size()), kKey)) {
            continue;
        }
        long seconds = 0;
        bool any = false;
        for (std::size_t i = at + kKey.size();
             i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9' && seconds < 100000;
             ++i) {
            seconds = seconds * 10 + ((*value)[i] - '0');
            any = true;
        }
        return any ? seconds : -1;
    }
    return -1;
}

TransferState& stateOf(void* user) {
    return *static_cast<PooledHandle*>(user)->state;
}

RequestError tooLarge(std::size_t limit) {
    return RequestError::make(RequestErrorType::ResponseTooLarge, std::to_string(limit));
}

// Stops the transfer (a callback's return value other than the length it was given) with the
// error the request will carry.
size_t stop(TransferState& state, RequestError error, std::string reason = {}) {
    state.failureReason = reason.empty() ? error.description : std::move(reason);
    state.failure = std::move(error);
    return 0;
}

// The address a redirect leads to when it leaves the server the request was made to: libcurl
// would follow it with the same method and body (a sign-in form, password and all), and with
// the cookies of a host it shares with the server. Nothing when it stays.
std::optional<std::string> refusedRedirect(const TransferState& state,
                                           const std::string& location) {
    char* current = nullptr;
    curl().easy_getinfo(state.handle->easy.get(), CURLINFO_EFFECTIVE_URL, &current);
    const auto target = resolveUrl(current ? current : state.request->url, location);
    if (target && staysOnServer(state.request->url, *target)) {
        return std::nullopt;
    }
    return target.value_or(location);
}

// The status of the reply being read; libcurl has read its status line by the
// time its headers and body arrive.
long statusOf(const TransferState& state) {
    long status = 0;
    curl().easy_getinfo(state.handle->easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    const size_t length = size * count;
    TransferState& state = stateOf(user);
    state.lastProgress = Clock::now();
    const std::string_view line = trimHeaderValue(std::string_view(data, length));
    if (line.substr(0, 5) == "HTTP/") {
        // A new reply (after a redirect or an interim 1xx): forget the previous one.
        state.response->headers.clear();
        state.response->body.clear();
        state.inflater = nullptr;
        state.encodingKnown = false;
        state.headersEnded = false;
        state.contentLength.reset();
        state.toFile = false;
        state.bodyBytes = 0;
        if (state.request->download && !state.request->download->truncate()) {
            return stop(state,
                        RequestError::make(RequestErrorType::DownloadFileFailed,
                                           state.request->download->partPath()),
                        state.request->download->failure());
        }
        return length;
    }
    if (line.empty()) {
        state.headersEnded = true;
        return length;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return length;
    }
    const std::string_view name = trimHeaderValue(line.substr(0, colon));
    const std::string_view value = trimHeaderValue(line.substr(colon + 1));
    if (!state.headersEnded && equalsIgnoringCase(name, "Content-Length")) {
        // libcurl reads the leading digits of a value and ignores the rest, and reads a
        // number too large for it up to the close: either way it may hand over a body
        // that is not the one the server meant.
        const auto parsed = parseContentLength(value);
        if (!parsed || (state.contentLength && *state.contentLength != *parsed)) {
            return stop(state, RequestError::make(RequestErrorType::ConnectionFailure),
                        "unreadable Content-Length \"" + std::string(value) + "\"");
        }
        state.contentLength = parsed;
    }
    if (!state.headersEnded && equalsIgnoringCase(name, "Location") && !value.empty() &&
        statusOf(state) / 100 == 3) {
        if (auto refused = refusedRedirect(state, std::string(value))) {
            return stop(state, RequestError::make(RequestErrorType::RedirectRefused, *refused),
                        "redirect to another server refused: " + *refused);
        }
    }
    state.response->headers.emplace_back(std::string(name), std::string(value));
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    const size_t length = size * count;
    TransferState& state = stateOf(user);
    state.lastProgress = Clock::now();
    const TransferRequest& request = *state.request;
    if (!state.encodingKnown) {
        state.encodingKnown = true;
        // Only a successful reply is the file asked for; an error page stays in memory, where
        // the caller can read the server's explanation.
        const long status = statusOf(state);
        state.toFile = request.download && status >= 200 && status < 300;
        const std::size_t cap = state.toFile ? request.maxDownloadSize : request.maxResponseSize;
        const BodyCoding coding = bodyCodingOf(state.response->headers);
        if (coding == BodyCoding::Unknown) {
            // Handing the coded bytes over as the body would pass them off as text.
            const std::string* named = findHeader(state.response->headers, "Content-Encoding");
            return stop(state, RequestError::make(RequestErrorType::ConnectionFailure),
                        "cannot decode Content-Encoding \"" + (named ? *named : "") + "\"");
        }
        if (coding == BodyCoding::Deflate) {
            auto& inflater = state.handle->inflater;
            if (!inflater) {
                inflater = std::make_unique<ResponseInflater>(cap);
            }
            inflater->reset(cap);
            state.inflater = inflater.get();
        } else if (state.toFile && state.contentLength && *state.contentLength > cap) {
            // Refused before a byte reaches the disk.
            return stop(state, tooLarge(cap));
        }
    }
    const std::size_t cap = state.toFile ? request.maxDownloadSize : request.maxResponseSize;
    std::string_view bytes(data, length);
    std::string& held = state.toFile ? state.inflated : state.response->body;
    if (state.inflater) {
        if (state.toFile) {
            held.clear();
        }
        if (!state.inflater->feed(bytes, held)) {
            return stop(state, state.inflater->capExceeded()
                                   ? tooLarge(cap)
                                   : RequestError::make(RequestErrorType::DecompressionFailed));
        }
        bytes = held;
    } else {
        const std::uint64_t kept = state.toFile ? request.download->size() : held.size();
        if (length > cap - kept) {
            return stop(state, tooLarge(cap));
        }
        if (!state.toFile) {
            held.append(data, length);
        }
    }
    if (state.toFile && !request.download->write(bytes)) {
        return stop(
            state,
            RequestError::make(RequestErrorType::DownloadFileFailed, request.download->partPath()),
            request.download->failure());
    }
    state.bodyBytes += length;
    if (request.progress) {
        request.progress(state.bodyBytes, state.contentLength);
    }
    return length;
}

size_t onRead(char* buffer, size_t size, size_t count, void* user) {
    TransferState& state = stateOf(user);
    RequestBody* body = state.request->body;
    if (!body) {
        return 0;
    }
    const auto got = body->read(buffer, size * count);
    if (!got) {
        state.readFailed = true;
        return CURL_READFUNC_ABORT;
    }
    return *got;
}

int onSeek(void* user, curl_off_t offset, int origin) {
    RequestBody* body = stateOf(user).request->body;
    if (!body || origin != SEEK_SET || offset < 0) {
        return CURL_SEEKFUNC_CANTSEEK;
    }
    return body->seek(static_cast<std::uint64_t>(offset)) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

int onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
    TransferState& state = stateOf(user);
    const RequestBody* body = state.request->body;
    if (!state.bodySentAt && body && up >= static_cast<curl_off_t>(body->size())) {
        state.bodySentAt = Clock::now();
    }
    if (down != state.lastDown || up != state.lastUp) {
        state.lastDown = down;
        state.lastUp = up;
        state.lastProgress = Clock::now();
    }
    return 0;
}

void configure(PooledHandle& handle) {
    CURL* e = handle.easy.get();
    curl().easy_setopt(e, CURLOPT_HEADERFUNCTION, &onHeader);
    curl().easy_setopt(e, CURLOPT_HEADERDATA, &handle);
    curl().easy_setopt(e, CURLOPT_WRITEFUNCTION, &onBody);
    curl().easy_setopt(e, CURLOPT_WRITEDATA, &handle);
    curl().easy_setopt(e, CURLOPT_READFUNCTION, &onRead);
    curl().easy_setopt(e, CURLOPT_READDATA, &handle);
    curl().easy_setopt(e, CURLOPT_SEEKFUNCTION, &onSeek);
    curl().easy_setopt(e, CURLOPT_SEEKDATA, &handle);
    curl().easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl().easy_setopt(e, CURLOPT_XFERINFODATA, &handle);
}

curl_slist* appendAll(curl_slist* list, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        list = curl().slist_append(list, line);
    }
    return list;
}

// Headers every request sends besides User-Agent and Cookie. "Expect:" keeps libcurl from
// waiting for "100 Continue" before a large body; "Accept:" drops its default "*/*".
curl_slist* commonHeaders() {
    static const CurlSlistPtr list(
        appendAll(nullptr, {"Accept:", "Accept-Encoding: gzip", "Expect:"}));
    return list.get();
}

curl_slist* urlEncodedHeaders() {
    static const CurlSlistPtr list(appendAll(
        nullptr, {"Accept:", "Accept-Encoding: gzip",
                  "Expect:", "Content-Type: application/x-www-form-urlencoded; charset=utf-8"}));
    return list.get();
}

void setMethodAndBody(CURL* e, const TransferRequest& request) {
    const RequestBody* body = request.body;
    const std::string& method = request.method;
    curl().easy_setopt(e, CURLOPT_NOBODY, 0L);
    if (body && !body->empty()) {
        if (body->inMemory()) {
            curl().easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                               static_cast<curl_off_t>(body->size()));
            curl().easy_setopt(e, CURLOPT_POSTFIELDS, body->bytes().data());
        } else {
            curl().easy_setopt(e, CURLOPT_POSTFIELDS, static_cast<const char*>(nullptr));
            curl().easy_setopt(e, CURLOPT_POST, 1L);
            curl().easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                               static_cast<curl_off_t>(body->size()));
        }
        curl().easy_setopt(e, CURLOPT_CUSTOMREQUEST, method == "POST" ? nullptr : method.c_str());
    } else if (method == "POST") {
        curl().easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t{0});
        curl().easy_setopt(e, CURLOPT_POSTFIELDS, "");
        curl().easy_setopt(e, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
    } else {
        curl().easy_setopt(e, CURLOPT_POSTFIELDS, static_cast<const char*>(nullptr));
        curl().easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t{-1});
        if (method == "HEAD") {
            curl().easy_setopt(e, CURLOPT_NOBODY, 1L);
            curl().easy_setopt(e, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
        } else {
            curl().easy_setopt(e, CURLOPT_HTTPGET, 1L);
            curl().easy_setopt(e, CURLOPT_CUSTOMREQUEST,
                               method == "GET" ? nullptr : method.c_str());
        }
    }
}

RequestError errorOf(CURLcode code, const TransferState& state, const RequestBody* body) {
    if (state.failure) {
        return *state.failure;
    }
    if (state.readFailed && body) {
        return RequestError::make(RequestErrorType::FileMissing, body->failedPath());
    }
    switch (code) {
        case CURLE_TOO_MANY_REDIRECTS:
            return RequestError::make(RequestErrorType::TooManyRedirects);
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return RequestError::make(RequestErrorType::UnableToCreateRequest);
        case CURLE_OPERATION_TIMEDOUT:
            return RequestError::make(RequestErrorType::TimedOut);
        case CURLE_PEER_FAILED_VERIFICATION:
            return RequestError::make(RequestErrorType::UntrustedCertificate);
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return RequestError::make(RequestErrorType::CertificateChanged);
        default:
            return RequestError::make(RequestErrorType::ConnectionFailure);
    }
}

// A pinned server is accepted by its key alone (a self-signed certificate, or one issued for
// another name); every other server is verified against the certificate authorities. The
// options hold for the redirects of the request too, which stay on the same server anyway.
void setTrust(CURL* e, const std::string& url) {
    const std::string hostPort = CertificatePins::hostPortOf(url);
    const auto pin = CertificatePins::shared().pinFor(hostPort);
    if (pin) {
        const std::string pinned = "sha256//" + *pin;
        curl().easy_setopt(e, CURLOPT_PINNEDPUBLICKEY, pinned.c_str());  // libcurl copies it
        curl().easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
        curl().easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
    } else {
        curl().easy_setopt(e, CURLOPT_PINNEDPUBLICKEY, static_cast<const char*>(nullptr));
        curl().easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
        curl().easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    }
    // libcurl's built-in bundle, to go back to after a handle served another trust store.
    static const std::string builtIn = [] {
        CurlEasyPtr probe(curl().easy_init());
        char* path = nullptr;
        if (probe) {
            curl().easy_getinfo(probe.get(), CURLINFO_CAINFO, &path);
        }
        return std::string(path ? path : "");
    }();
    const std::string authorities = CertificatePins::shared().authorityFile();
    const std::string& file = authorities.empty() ? builtIn : authorities;
    curl().easy_setopt(e, CURLOPT_CAINFO, file.empty() ? nullptr : file.c_str());
}

}  // namespace

TransferResponse CurlTransfer::perform(const TransferRequest& request) {
    TransferResponse response;
    CurlPool& pool = CurlPool::shared();
    const std::string origin = CurlPool::originOf(request.url);
    auto handle = pool.acquire(origin, &configure);
    if (!handle) {
        response.error = RequestError::make(RequestErrorType::UnableToCreateRequest);
        return response;
    }
    TransferState state;
    state.request = &request;
    state.response = &response;
    state.handle = handle.get();
    handle->state = &state;
    handle->errorBuffer[0] = '\0';

    CURL* e = handle->easy.get();
    CURLM* m = handle->multi.get();
    curl().easy_setopt(e, CURLOPT_URL, request.url.c_str());
    setTrust(e, request.url);
    setMethodAndBody(e, request);
    CurlSlistPtr ownHeaders;
    curl_slist* headers = commonHeaders();
    if (request.contentType == FormBody::kUrlEncodedContentType) {
        headers = urlEncodedHeaders();
    } else if (!request.contentType.empty()) {
        const std::string line = "Content-Type: " + request.contentType;
        ownHeaders.reset(
            appendAll(nullptr, {"Accept:", "Accept-Encoding: gzip", "Expect:", line.c_str()}));
        headers = ownHeaders.get();
    }
    if (!request.headers.empty()) {
        curl_slist* all = nullptr;
        for (const curl_slist* item = headers; item; item = item->next) {
            all = curl().slist_append(all, item->data);
        }
        for (const std::string& line : request.headers) {
            all = curl().slist_append(all, line.c_str());
        }
        ownHeaders.reset(all);
        headers = all;
    }
    curl().easy_setopt(e, CURLOPT_HTTPHEADER, headers);
    const long maxAge = pool.keepAliveFor(origin);
    curl().easy_setopt(e, CURLOPT_MAXAGE_CONN, maxAge);

    bool cancelled = false;
    bool timedOut = false;
    CURLcode code = CURLE_OK;
    if (curl().multi_add_handle(m, e) != CURLM_OK) {
        code = CURLE_FAILED_INIT;
    } else {
        if (request.cancel) {
            request.cancel->attach(m);
        }
        state.lastProgress = Clock::now();
        if (!request.body || request.body->empty()) {
            state.bodySentAt = state.lastProgress;
        }
        int running = 1;
        for (;;) {
            if (curl().multi_perform(m, &running) != CURLM_OK) {
                code = CURLE_FAILED_INIT;
                break;
            }
            if (running == 0) {
                break;
            }
            if (request.cancel && request.cancel->isCancelled()) {
                cancelled = true;
                break;
            }
            int waitMs = 1000;
            if (request.timeout.count() > 0) {
                const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
                    Clock::now() - state.lastProgress);
                if (idle >= request.timeout) {
                    timedOut = true;
                    break;
                }
                waitMs = static_cast<int>(
                    std::min<long long>(waitMs, (request.timeout - idle).count() + 1));
            }
            // A server that trickles its reply a byte at a time never trips the time-out above.
            if (request.deadline.count() > 0 && state.bodySentAt) {
                const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                    Clock::now() - *state.bodySentAt);
                if (spent >= request.deadline) {
                    timedOut = true;
                    break;
                }
                waitMs = static_cast<int>(
                    std::min<long long>(waitMs, (request.deadline - spent).count() + 1));
            }
            // Every byte received counts as progress, header bytes too: libcurl hands headers
            // over a whole line at a time, but the socket turns readable with each arrival.
            int events = 0;
            curl().multi_poll(m, nullptr, 0, waitMs, &events);
            if (events > 0) {
                state.lastProgress = Clock::now();
            }
        }
        if (request.cancel) {
            request.cancel->detach();
        }
        int left = 0;
        while (CURLMsg* message = curl().multi_info_read(m, &left)) {
            if (message->msg == CURLMSG_DONE) {
                code = message->data.result;
            }
        }
        curl().multi_remove_handle(m, e);
    }

    long status = 0;
    curl().easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    response.statusCode = static_cast<int>(status);
    char* effective = nullptr;
    curl().easy_getinfo(e, CURLINFO_EFFECTIVE_URL, &effective);
    handle->origin = effective && request.url != effective ? CurlPool::originOf(effective) : origin;

    if (cancelled) {
        response.error = RequestError::make(RequestErrorType::Cancelled);
    } else if (timedOut) {
        response.error = RequestError::make(RequestErrorType::TimedOut);
    } else if (code != CURLE_OK) {
        response.error = errorOf(code, state, request.body);
        std::string reason = state.failureReason;
        if (reason.empty()) {
            reason = handle->errorBuffer[0] ? handle->errorBuffer : curl().easy_strerror(code);
        }
        log("HTTP " + request.method + " " + request.url + " failed: " + reason);
    } else if (!state.headersEnded) {
        // The connection closed inside the headers; libcurl takes that for an empty reply.
        response.error = RequestError::make(RequestErrorType::ConnectionFailure);
        log("HTTP " + request.method + " " + request.url + " failed: reply ended in its headers");
    } else if (state.inflater && !state.inflater->finish()) {
        response.error = RequestError::make(RequestErrorType::DecompressionFailed);
    } else {
        const long keepAlive = keepAliveTimeout(response.headers);
        if (keepAlive >= 0 && (keepAlive != maxAge || handle->origin != origin)) {
            pool.noteKeepAlive(handle->origin, keepAlive);
        }
    }
    if (response.error) {
        // Nothing half-read reaches the caller, and a capped reply's memory goes at once.
        std::string().swap(response.body);
    }
    pool.release(std::move(handle));
    return response;
}

}  // namespace oa

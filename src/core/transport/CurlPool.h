// The process-wide libcurl state: one global init, one share handle holding the cookie store
// (plus DNS and TLS sessions), and a small pool of easy handles whose common options are set
// once, each with its own multi handle so that its connections stay open between requests.
#pragma once

#include "core/transport/CurlApi.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace oa {

struct TransferState;
class ResponseInflater;

struct CurlEasyDeleter {
    void operator()(CURL* easy) const { curl().easy_cleanup(easy); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* multi) const { curl().multi_cleanup(multi); }
};
struct CurlSlistDeleter {
    void operator()(curl_slist* list) const { curl().slist_free_all(list); }
};
using CurlEasyPtr = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMultiPtr = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlSlistPtr = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// One reusable easy handle. Its callbacks receive the PooledHandle and work on `state`.
struct PooledHandle {
    PooledHandle();
    ~PooledHandle();

    CurlMultiPtr multi;
    CurlEasyPtr easy;
    std::string origin;                          // scheme://host:port of its last request
    TransferState* state = nullptr;              // the exchange in progress; owned by the caller
    std::unique_ptr<ResponseInflater> inflater;  // kept for the next compressed reply
    char errorBuffer[CURL_ERROR_SIZE] = {};
};

class CurlPool {
public:
    // Connections idle longer than this are not reused, unless a server asked for less.
    static constexpr long kKeepAliveSeconds = 60;
    static constexpr int kMaxRedirects = 5;

    // Created on first use (running curl_global_init) and never destroyed: requests may still
    // run on detached threads while the process exits.
    static CurlPool& shared();

    // A handle for a request to `origin`, preferring one whose connection to it is open.
    // `configure` sets the callbacks on a newly created handle.
    using Configure = void (*)(PooledHandle& handle);
    std::unique_ptr<PooledHandle> acquire(const std::string& origin, Configure configure);
    void release(std::unique_ptr<PooledHandle> handle);

    // The idle time after which a connection to `origin` is not reused.
    long keepAliveFor(const std::string& origin);
    // A reply's "Keep-Alive: timeout=N".
    void noteKeepAlive(const std::string& origin, long seconds);

    // Forgets every cookie.
    void clearCookies();
    // Every cookie of the store, one line each in libcurl's cookie-file form.
    std::vector<std::string> cookieLines();

    // scheme://host:port of a URL, lower-cased; empty when it has no scheme.
    static std::string originOf(const std::string& url);

private:
    CurlPool();
    CurlEasyPtr newEasy();

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* pool);
    static void unlock(CURL*, curl_lock_data data, void* pool);

    CURLSH* share_ = nullptr;  // never released, like the pool
    std::mutex shareLocks_[CURL_LOCK_DATA_LAST];

    std::mutex mutex_;
    std::vector<std::unique_ptr<PooledHandle>> idle_;  // Guarded by mutex_; last = newest.
    std::unordered_map<std::string, long> keepAlive_;  // Guarded by mutex_.
};

}  // namespace oa

// CurlPool: the share handle and the easy-handle pool.
#include "core/transport/CurlPool.h"

#include <algorithm>

#include "core/transport/HeaderList.h"
#include "core/transport/ResponseInflater.h"
#include "core/transport/UserAgent.h"

namespace oa {
namespace {
constexpr std::size_t kMaxIdleHandles = 8;
}

PooledHandle::PooledHandle() = default;
PooledHandle::~PooledHandle() = default;

CurlPool& CurlPool::shared() {
    static CurlPool* pool = new CurlPool;
    return *pool;
}

CurlPool::CurlPool() {
    curl().global_init(CURL_GLOBAL_DEFAULT);
    share_ = curl().share_init();
    curl().share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlPool::lock);
    curl().share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlPool::unlock);
    curl().share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl().share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl().share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl().share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    // Not CURL_LOCK_DATA_CONNECT: libcurl 7.88 cannot share a connection cache between
    // threads safely. Each pooled handle keeps its own connections instead.
}

void CurlPool::lock(CURL*, curl_lock_data data, curl_lock_access, void* pool) {
    static_cast<CurlPool*>(pool)->shareLocks_[data].lock();
}

void CurlPool::unlock(CURL*, curl_lock_data data, void* pool) {
    static_cast<CurlPool*>(pool)->shareLocks_[data].unlock();
}

CurlEasyPtr CurlPool::newEasy() {
    CurlEasyPtr easy(curl().easy_init());
    if (!easy) {
        return easy;
    }
    CURL* e = easy.get();
    curl().easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl().easy_setopt(e, CURLOPT_SHARE, share_);
    curl().easy_setopt(e, CURLOPT_COOKIEFILE, "");  // cookie engine on, nothing to load
    curl().easy_setopt(e, CURLOPT_USERAGENT, UserAgent::string().c_str());
    // Only redirects that stay on the same server: CurlTransfer stops a reply whose Location
    // leads elsewhere before libcurl follows it.
    curl().easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl().easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
    curl().easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl().easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // Compressed replies are inflated by the transport itself, with a size cap.
    curl().easy_setopt(e, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl().easy_setopt(e, CURLOPT_MAXAGE_CONN, kKeepAliveSeconds);
    curl().easy_setopt(e, CURLOPT_TCP_NODELAY, 1L);
    curl().easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl().easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl().easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    return easy;
}

std::unique_ptr<PooledHandle> CurlPool::acquire(const std::string& origin, Configure configure) {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto match = std::find_if(idle_.rbegin(), idle_.rend(),
                                      [&](const auto& h) { return h->origin == origin; });
            auto chosen = match != idle_.rend() ? std::prev(match.base()) : std::prev(idle_.end());
            auto handle = std::move(*chosen);
            idle_.erase(chosen);
            return handle;
        }
    }
    auto handle = std::make_unique<PooledHandle>();
    handle->multi.reset(curl().multi_init());
    handle->easy = newEasy();
    if (!handle->multi || !handle->easy) {
        return nullptr;
    }
    curl().easy_setopt(handle->easy.get(), CURLOPT_ERRORBUFFER, handle->errorBuffer);
    configure(*handle);
    return handle;
}

void CurlPool::release(std::unique_ptr<PooledHandle> handle) {
    if (!handle) {
        return;
    }
    handle->state = nullptr;
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(handle));
    if (idle_.size() > kMaxIdleHandles) {
        idle_.erase(idle_.begin());
    }
}

long CurlPool::keepAliveFor(const std::string& origin) {
    std::lock_guard lock(mutex_);
    const auto found = keepAlive_.find(origin);
    return found == keepAlive_.end() ? kKeepAliveSeconds : found->second;
}

void CurlPool::noteKeepAlive(const std::string& origin, long seconds) {
    std::lock_guard lock(mutex_);
    keepAlive_[origin] = std::clamp(seconds, 0L, kKeepAliveSeconds);
}

void CurlPool::clearCookies() {
    CurlEasyPtr easy(curl().easy_init());
    if (!easy) {
        return;
    }
    curl().easy_setopt(easy.get(), CURLOPT_SHARE, share_);
    curl().easy_setopt(easy.get(), CURLOPT_COOKIELIST, "ALL");
}

std::vector<std::string> CurlPool::cookieLines() {
    std::vector<std::string> lines;
    CurlEasyPtr easy(curl().easy_init());
    if (!easy) {
        return lines;
    }
    curl().easy_setopt(easy.get(), CURLOPT_SHARE, share_);
    curl_slist* list = nullptr;
    if (curl().easy_getinfo(easy.get(), CURLINFO_COOKIELIST, &list) != CURLE_OK) {
        return lines;
    }
    const CurlSlistPtr owned(list);
    for (const curl_slist* item = list; item; item = item->next) {
        lines.emplace_back(item->data);
    }
    return lines;
}

std::string CurlPool::originOf(const std::string& url) {
    const auto scheme = url.find("://");
    if (scheme == std::string::npos) {
        return {};
    }
    const auto end = url.find_first_of("/?#", scheme + 3);
    std::string origin = url.substr(0, end);
    std::transform(origin.begin(), origin.end(), origin.begin(), asciiLower);
    return origin;
}

}  // namespace oa

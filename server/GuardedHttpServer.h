// cpp-httplib's server with guards against clients that hold its worker threads (each
// connection holds one for as long as it lasts):
// - a request's line and headers must arrive within a time limit counted from their first
//   byte, and its body within another counted from the end of the headers; the library's read
//   time-out alone starts again with every byte, so a peer sending a byte every few seconds
//   would keep its thread for ever;
// - one client address holds a limited number of connections at once; further connections
//   from it are answered 503 and closed, leaving the other threads to other clients;
// - a connection still receiving a request (or its TLS handshake) a moment after it began is
//   slow, and only so many slow connections are held at once, whatever their addresses: a
//   further one is closed as it turns slow, so that a few addresses together cannot take every
//   thread either.
// The connection loop is the library's own (keep-alive, request count) around its
// process_request(), with a stream that knows the time limits. With a TLS context set, every
// connection is TLS: the handshake falls under the same time limit as a request's head.
// A request that brought a large body gives the memory it took back to the system when it
// ends; the allocator would otherwise keep each worker thread's peak.
#pragma once

#include <httplib.h>
#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace oa {

class SlowPlace;

class GuardedHttpServer : public httplib::Server {
public:
    // All must be set before the server listens.
    void setRequestHeadLimit(std::chrono::milliseconds limit) { headLimit_ = limit; }
    void setRequestBodyLimit(std::chrono::milliseconds limit) { bodyLimit_ = limit; }
    void setConnectionsPerAddress(std::size_t count) { perAddress_ = count; }
    // At most `count` connections may be slow at once: still receiving a request (or a TLS
    // handshake) `after` it began.
    void setSlowConnections(std::size_t count, std::chrono::milliseconds after) {
        slowLimit_ = count;
        slowAfter_ = after;
    }
    // Not owned; must outlive the server. Null: plain HTTP.
    void setTlsContext(SSL_CTX* context) { tls_ = context; }

private:
    bool process_and_close_socket(socket_t sock) override;
    // Serves the connection's requests until it ends, times out or the server stops.
    bool serve(socket_t sock, SSL* ssl, SlowPlace& slowPlace);
    // Waits for the next request of a kept-alive connection; false when none comes within the
    // keep-alive time-out, the peer left or the server stops.
    bool awaitRequest(socket_t sock) const;
    bool admit(const std::string& address);
    void release(const std::string& address);

    std::chrono::milliseconds headLimit_{10'000};
    std::chrono::milliseconds bodyLimit_{30'000};
    std::size_t perAddress_ = 16;
    std::size_t slowLimit_ = 16;
    std::chrono::milliseconds slowAfter_{1'000};
    std::atomic<std::size_t> slow_{0};  // Slow connections now.
    SSL_CTX* tls_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, std::size_t> open_;  // Guarded by mutex_.
};

}  // namespace oa

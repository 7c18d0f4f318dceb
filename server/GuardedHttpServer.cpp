// The guarded connection loop.
#include "server/GuardedHttpServer.h"

#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <netdb.h>
#include <openssl/err.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "core/platform/Log.h"

namespace oa {

// A connection's place among the server's slow connections, taken when one of its requests
// turns slow and given back when that request has been read.
class SlowPlace {
public:
    SlowPlace(std::atomic<std::size_t>& held, std::size_t limit) : held_(held), limit_(limit) {}
    ~SlowPlace() { release(); }
    SlowPlace(const SlowPlace&) = delete;
    SlowPlace& operator=(const SlowPlace&) = delete;

    bool taken() const { return taken_; }
    // False when every place is held.
    bool take() {
        std::size_t now = held_.load();
        do {
            if (now >= limit_) {
                return false;
            }
        } while (!held_.compare_exchange_weak(now, now + 1));
        taken_ = true;
        return true;
    }
    void release() {
        if (taken_) {
            --held_;
            taken_ = false;
        }
    }

private:
    std::atomic<std::size_t>& held_;
    std::size_t limit_;
    bool taken_ = false;
};

namespace {

using Clock = std::chrono::steady_clock;

// Waits up to `wait` for the socket to become ready for `events`; false on time-out or error.
bool pollFor(socket_t sock, short events, std::chrono::milliseconds wait) {
    pollfd pfd{sock, events, 0};
    while (true) {
        const int ready =
            ::poll(&pfd, 1, static_cast<int>(std::max<std::int64_t>(0, wait.count())));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0;
    }
}

std::string numericHost(const sockaddr_storage& addr, socklen_t length, int* port) {
    std::array<char, NI_MAXHOST> host{};
    std::array<char, NI_MAXSERV> service{};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&addr), length, host.data(),
                      static_cast<socklen_t>(host.size()), service.data(),
                      static_cast<socklen_t>(service.size()),
                      NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return {};
    }
    if (port) {
        *port = std::atoi(service.data());
    }
    return host.data();
}

std::string peerAddress(socket_t sock, int* port = nullptr) {
    sockaddr_storage addr{};
    socklen_t length = sizeof addr;
    if (::getpeername(sock, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        return {};
    }
    return numericHost(addr, length, port);
}

// Why a request was cut off.
enum class Cut { none, head, body, crowded };

// The connection as cpp-httplib's request parser reads it: buffered reads and writes that wait
// at most the server's time-outs, and, while a request is being read, no longer than what is
// left of its head's or body's time limit; a request that turns slow must find a SlowPlace.
// Over TLS the socket is non-blocking, so that a record arriving a byte at a time cannot hold a
// read beyond those limits.
class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(socket_t sock, SSL* ssl, std::chrono::milliseconds readTimeout,
                     std::chrono::milliseconds writeTimeout, SlowPlace& slowPlace,
                     std::chrono::milliseconds slowAfter)
        : sock_(sock),
          ssl_(ssl),
          readTimeout_(readTimeout),
          writeTimeout_(writeTimeout),
          slowPlace_(slowPlace),
          slowAfter_(slowAfter) {}

    void startRequest(std::chrono::milliseconds headLimit) {
        started_ = Clock::now();
        deadline_ = started_ + headLimit;
        phase_ = Cut::head;
        cut_ = Cut::none;
        received_ = 0;
    }
    void startBody(std::chrono::milliseconds bodyLimit) {
        deadline_ = Clock::now() + bodyLimit;
        phase_ = Cut::body;
    }
    // Ends the request's limits and gives back its slow place; what cut it off, if anything.
    Cut endRequest() {
        phase_ = Cut::none;
        slowPlace_.release();
        return cut_;
    }
    // Bytes received since the request began.
    std::size_t received() const { return received_; }
    bool hasBuffered() const { return offset_ < filled_ || (ssl_ && SSL_pending(ssl_) > 0); }

    bool is_readable() const override { return hasBuffered() || waitReadable(); }
    bool is_writable() const override { return pollFor(sock_, POLLOUT, writeTimeout_); }

    ssize_t read(char* ptr, size_t size) override {
        const ssize_t got = readSome(ptr, size);
        if (got > 0) {
            received_ += static_cast<std::size_t>(got);
        }
        return got;
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (ssl_) {
            return writeTls(ptr, size);
        }
        if (!is_writable()) {
            return -1;
        }
        return ::send(sock_, ptr, size, MSG_NOSIGNAL);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = peerAddress(sock_, &port);
    }

    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t length = sizeof addr;
        if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
            ip = numericHost(addr, length, &port);
        }
    }

    socket_t socket() const override { return sock_; }

private:
    ssize_t readSome(char* ptr, size_t size) {
        if (offset_ < filled_) {
            const std::size_t n = std::min(size, filled_ - offset_);
            std::memcpy(ptr, buffer_.data() + offset_, n);
            offset_ += n;
            return static_cast<ssize_t>(n);
        }
        if (!hasBuffered() && !waitReadable()) {
            return -1;
        }
        if (size >= buffer_.size()) {
            return receive(ptr, size);
        }
        const ssize_t got = receive(buffer_.data(), buffer_.size());
        if (got <= 0) {
            return got;
        }
        filled_ = static_cast<std::size_t>(got);
        const std::size_t n = std::min(size, filled_);
        std::memcpy(ptr, buffer_.data(), n);
        offset_ = n;
        return static_cast<ssize_t>(n);
    }

    // Waits up to the read time-out for bytes; during a request, no longer than its time limit,
    // and past the moment it turns slow only with a slow place.
    bool waitReadable() const {
        const auto readEnd = Clock::now() + readTimeout_;
        while (true) {
            const auto now = Clock::now();
            auto end = readEnd;
            if (phase_ != Cut::none) {
                if (now >= deadline_) {
                    cut_ = phase_;
                    return false;
                }
                end = std::min(end, deadline_);
                if (!slowPlace_.taken()) {
                    const auto slowAt = started_ + slowAfter_;
                    if (now < slowAt) {
                        end = std::min(end, slowAt);
                    } else if (!slowPlace_.take()) {
                        cut_ = Cut::crowded;
                        return false;
                    }
                }
            }
            if (pollFor(sock_, POLLIN, std::chrono::ceil<std::chrono::milliseconds>(end - now))) {
                return true;
            }
            if (Clock::now() >= readEnd) {
                return false;
            }
        }
    }

    ssize_t receive(char* ptr, std::size_t size) {
        if (ssl_) {
            return receiveTls(ptr, size);
        }
        while (true) {
            const ssize_t got = ::recv(sock_, ptr, size, 0);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            return got;
        }
    }

    ssize_t receiveTls(char* ptr, std::size_t size) {
        const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
        while (true) {
            const int got = SSL_read(ssl_, ptr, chunk);
            if (got > 0) {
                return got;
            }
            const int reason = SSL_get_error(ssl_, got);
            if (reason == SSL_ERROR_WANT_READ) {
                if (!waitReadable()) {
                    return -1;
                }
            } else if (reason == SSL_ERROR_WANT_WRITE) {
                if (!pollFor(sock_, POLLOUT, writeTimeout_)) {
                    return -1;
                }
            } else {
                ERR_clear_error();
                return reason == SSL_ERROR_ZERO_RETURN ? 0 : -1;
            }
        }
    }

    ssize_t writeTls(const char* ptr, std::size_t size) {
        const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
        while (true) {
            const int sent = SSL_write(ssl_, ptr, chunk);
            if (sent > 0) {
                return sent;
            }
            const int reason = SSL_get_error(ssl_, sent);
            const short wait = reason == SSL_ERROR_WANT_WRITE  ? POLLOUT
                               : reason == SSL_ERROR_WANT_READ ? POLLIN
                                                               : 0;
            if (wait == 0 || !pollFor(sock_, wait, writeTimeout_)) {
                ERR_clear_error();
                return -1;
            }
        }
    }

    socket_t sock_;
    SSL* ssl_;
    std::chrono::milliseconds readTimeout_;
    std::chrono::milliseconds writeTimeout_;
    SlowPlace& slowPlace_;
    std::chrono::milliseconds slowAfter_;
    Cut phase_ = Cut::none;  // the part of a request being read: none, head or body
    Clock::time_point started_;
    Clock::time_point deadline_;
    mutable Cut cut_ = Cut::none;
    std::size_t received_ = 0;
    std::array<char, 4096> buffer_{};
    std::size_t offset_ = 0;
    std::size_t filled_ = 0;
};

std::chrono::milliseconds millis(time_t sec, time_t usec) {
    return std::chrono::milliseconds(sec * 1000 + usec / 1000);
}

void refuse(socket_t sock) {
    static const std::string body = "ERROR: too many connections from this address";
    static const std::string reply =
        "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain; charset=utf-8\r\n"
        "Content-Length: " +
        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    // Best effort: the peer may not read it.
    if (pollFor(sock, POLLOUT, std::chrono::milliseconds(100))) {
        [[maybe_unused]] const auto sent = ::send(sock, reply.data(), reply.size(), MSG_NOSIGNAL);
    }
    // Closing with unread bytes would reset the connection, and a reset can overtake the reply;
    // drop what the peer has sent so far.
    char scratch[4096];
    for (int i = 0; i < 16 && ::recv(sock, scratch, sizeof scratch, MSG_DONTWAIT) > 0; ++i) {
    }
}

struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// The server side of a TLS handshake on a non-blocking socket, within `limit` and, past
// `slowAfter`, only with a slow place; null when the peer does not complete it in time (a
// client that refuses the certificate ends it at once).
std::unique_ptr<SSL, SslDeleter> acceptTls(SSL_CTX* context, socket_t sock,
                                           std::chrono::milliseconds limit, SlowPlace& slowPlace,
                                           std::chrono::milliseconds slowAfter) {
    std::unique_ptr<SSL, SslDeleter> ssl(SSL_new(context));
    const int flags = ::fcntl(sock, F_GETFL);
    if (!ssl || flags < 0 || ::fcntl(sock, F_SETFL, flags | O_NONBLOCK) != 0 ||
        SSL_set_fd(ssl.get(), sock) != 1) {
        return nullptr;
    }
    const auto started = Clock::now();
    const auto deadline = started + limit;
    const char* failure = nullptr;
    int reason = SSL_ERROR_NONE;
    while (true) {
        const int done = SSL_accept(ssl.get());
        if (done == 1) {
            slowPlace.release();
            return ssl;
        }
        reason = SSL_get_error(ssl.get(), done);
        const short wait = reason == SSL_ERROR_WANT_READ    ? POLLIN
                           : reason == SSL_ERROR_WANT_WRITE ? POLLOUT
                                                            : 0;
        if (wait == 0) {
            break;
        }
        bool ready = false;
        while (!ready && !failure) {
            const auto now = Clock::now();
            auto end = deadline;
            if (!slowPlace.taken()) {
                if (now < started + slowAfter) {
                    end = std::min(end, started + slowAfter);
                } else if (!slowPlace.take()) {
                    failure = ": too many slow connections";
                    break;
                }
            }
            if (now >= deadline) {
                failure = ": timed out";
                break;
            }
            ready = pollFor(sock, wait, std::chrono::ceil<std::chrono::milliseconds>(end - now));
        }
        if (failure) {
            break;
        }
    }
    const unsigned long code = ERR_peek_last_error();
    char text[256] = {};
    if (code != 0) {
        ERR_error_string_n(code, text, sizeof text);
    }
    ERR_clear_error();
    log("TLS handshake with " + peerAddress(sock) + " failed" +
        (code ? std::string(": ") + text : std::string(failure ? failure : "")));
    return nullptr;
}

// Gives the memory of a large request back to the system once it has ended. The allocator
// keeps what a thread freed for that thread's next use, and with a large body read on every
// worker the server would stay at the sum of their peaks.
void returnFreedMemory(std::size_t requestBytes) {
    constexpr std::size_t kLarge = 1024 * 1024;
#ifdef __GLIBC__
    if (requestBytes >= kLarge) {
        ::malloc_trim(0);
    }
#else
    (void)requestBytes;
    (void)kLarge;
#endif
}

}  // namespace

bool GuardedHttpServer::admit(const std::string& address) {
    std::lock_guard lock(mutex_);
    std::size_t& count = open_[address];
    if (count >= perAddress_) {
        return false;
    }
    ++count;
    return true;
}

void GuardedHttpServer::release(const std::string& address) {
    std::lock_guard lock(mutex_);
    const auto it = open_.find(address);
    if (it != open_.end() && --it->second == 0) {
        open_.erase(it);
    }
}

bool GuardedHttpServer::awaitRequest(socket_t sock) const {
    // In short steps, so that a stopping server does not wait out the keep-alive time-out.
    constexpr std::chrono::milliseconds kStep(50);
    const auto deadline = Clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
    while (svr_sock_ != INVALID_SOCKET) {
        if (pollFor(sock, POLLIN, kStep)) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
    }
    return false;
}

bool GuardedHttpServer::serve(socket_t sock, SSL* ssl, SlowPlace& slowPlace) {
    ConnectionStream stream(sock, ssl, millis(read_timeout_sec_, read_timeout_usec_),
                            millis(write_timeout_sec_, write_timeout_usec_), slowPlace, slowAfter_);
    bool ret = false;
    for (std::size_t left = keep_alive_max_count_; left > 0; --left) {
        if (!stream.hasBuffered() && !awaitRequest(sock)) {
            break;
        }
        stream.startRequest(headLimit_);
        bool connectionClosed = false;
        ret = process_request(stream, left == 1, connectionClosed,
                              [this, &stream](httplib::Request&) { stream.startBody(bodyLimit_); });
        const Cut cut = stream.endRequest();
        returnFreedMemory(stream.received());
        if (cut != Cut::none) {
            const std::string peer = peerAddress(sock);
            if (cut == Cut::crowded) {
                log("slow request from " + peer + " cut off: " + std::to_string(slowLimit_) +
                    " slow connections already held");
            } else {
                log(std::string(cut == Cut::head ? "request head" : "request body") + " from " +
                    peer + " took longer than " +
                    std::to_string((cut == Cut::head ? headLimit_ : bodyLimit_).count()) +
                    " ms; connection closed");
            }
            break;
        }
        if (!ret || connectionClosed) {
            break;
        }
    }
    return ret;
}

bool GuardedHttpServer::process_and_close_socket(socket_t sock) {
    const std::string address = peerAddress(sock);
    bool ret = false;
    if (admit(address)) {
        struct Release {
            GuardedHttpServer& server;
            const std::string& address;
            ~Release() { server.release(address); }
        } release{*this, address};
        SlowPlace slowPlace(slow_, slowLimit_);
        if (tls_) {
            if (auto ssl = acceptTls(tls_, sock, headLimit_, slowPlace, slowAfter_)) {
                ret = serve(sock, ssl.get(), slowPlace);
                SSL_shutdown(ssl.get());  // best effort: the peer may be gone
                ERR_clear_error();
            }
        } else {
            ret = serve(sock, nullptr, slowPlace);
        }
    } else {
        log("refused a connection from " + address + ": " + std::to_string(perAddress_) +
            " already open");
        refuse(sock);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ret;
}

}  // namespace oa

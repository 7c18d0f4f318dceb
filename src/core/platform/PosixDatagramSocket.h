// The datagram socket port on BSD sockets, for oa-cli and the demo server: a thread of its own
// sends and receives, and hands each received datagram to the main loop.
#pragma once

#include <sys/socket.h>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "core/platform/DatagramSocket.h"

namespace oa {

class PosixDatagramSocket : public DatagramSocket {
public:
    // Starts the socket's thread; the socket itself is made on the first bind, send or
    // receive. Throws std::system_error when the thread's wake-up pipe cannot be made.
    PosixDatagramSocket();
    // Sends what is still queued, stops the thread and closes the socket.
    ~PosixDatagramSocket() override;

    std::uint16_t localPort() const override;
    void send(const std::string& host, std::uint16_t port, std::string bytes) override;
    void receive(ReceiveHandler handler) override;
    bool isAddressOf(const std::string& address, const std::string& host) const override;
    std::optional<std::string> localAddressTowards(const std::string& host) const override;

private:
    // Owns one file descriptor.
    class Fd {
    public:
        Fd() = default;
        explicit Fd(int fd) : fd_(fd) {}
        Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
        Fd& operator=(Fd&& other) noexcept;
        ~Fd();
        int get() const { return fd_; }

    private:
        int fd_ = -1;
    };
    struct Outgoing {
        std::string host;
        std::uint16_t port;
        std::string bytes;
    };

    BindError bindTo(std::uint16_t port, const std::string& localAddress) override;
    // Makes the socket when there is none yet: dual-stack IPv6, or IPv4 where IPv6 is missing.
    // Returns the error text on failure. Needs mutex_.
    std::optional<std::string> ensureSocket(int family);
    void wake();
    void run();
    void sendNow(int fd, const Outgoing& datagram);
    void receiveNow(int fd);
    void noteSentTo(const std::string& host, const sockaddr_storage& to);

    mutable std::mutex mutex_;
    Fd socket_;                      // Guarded by mutex_; made once, closed after the thread.
    int family_ = 0;                 // Guarded by mutex_; AF_INET6 or AF_INET once made.
    std::deque<Outgoing> outgoing_;  // Guarded by mutex_.
    // Guarded by mutex_: for each name sent to, the addresses the datagrams went to.
    std::map<std::string, std::set<std::string>> sentTo_;
    ReceiveHandler reading_;  // Guarded by mutex_; set while a read is outstanding.
    bool stopping_ = false;   // Guarded by mutex_.
    Fd wakeRead_;             // Socket thread only.
    Fd wakeWrite_;            // Any thread; writes of one byte are atomic.
    // Main thread: false once the destructor runs, so handlers already posted do nothing.
    std::shared_ptr<std::atomic<bool>> alive_;
    std::thread thread_;
};

}  // namespace oa

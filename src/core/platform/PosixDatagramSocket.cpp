// PosixDatagramSocket: poll() on the socket and a wake-up pipe; sends and receives happen on the
// socket's thread so that name look-ups never hold up the main loop.
#include "core/platform/PosixDatagramSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>
#include <vector>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"

namespace oa {
namespace {

// The largest payload a UDP datagram can carry, so that every datagram arrives whole.
constexpr std::size_t kMaxDatagram = 65535;

std::string errorText(int error) {
    return std::strerror(error);
}

std::string describe(const std::string& host, std::uint16_t port) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// A v4-mapped IPv6 address (what a dual-stack socket reports for IPv4 peers) is shown as IPv4.
void addressText(const sockaddr_storage& address, std::string& host, std::uint16_t& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address);
        if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr)) {
            inet_ntop(AF_INET, &in6->sin6_addr.s6_addr[12], text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        }
        port = ntohs(in6->sin6_port);
    }
    host = text;
}

// Builds the destination for a socket of `family` from a resolved address; false when the
// socket cannot reach that address (an IPv6 one from an IPv4-only socket).
bool destinationFor(int family, const sockaddr* resolved, std::uint16_t port, sockaddr_storage& out,
                    socklen_t& length) {
    out = {};
    if (resolved->sa_family == AF_INET6) {
        if (family != AF_INET6) {
            return false;
        }
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&out);
        *in6 = *reinterpret_cast<const sockaddr_in6*>(resolved);
        in6->sin6_port = htons(port);
        length = sizeof(sockaddr_in6);
        return true;
    }
    if (resolved->sa_family != AF_INET) {
        return false;
    }
    const auto& in = *reinterpret_cast<const sockaddr_in*>(resolved);
    if (family == AF_INET) {
        auto* out4 = reinterpret_cast<sockaddr_in*>(&out);
        *out4 = in;
        out4->sin_port = htons(port);
        length = sizeof(sockaddr_in);
        return true;
    }
    auto* mapped = reinterpret_cast<sockaddr_in6*>(&out);
    mapped->sin6_family = AF_INET6;
    mapped->sin6_port = htons(port);
    mapped->sin6_addr.s6_addr[10] = 0xff;
    mapped->sin6_addr.s6_addr[11] = 0xff;
    std::memcpy(&mapped->sin6_addr.s6_addr[12], &in.sin_addr, 4);
    length = sizeof(sockaddr_in6);
    return true;
}

}  // namespace

PosixDatagramSocket::Fd& PosixDatagramSocket::Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PosixDatagramSocket::Fd::~Fd() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

PosixDatagramSocket::PosixDatagramSocket() : alive_(std::make_shared<std::atomic<bool>>(true)) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "datagram socket wake-up pipe");
    }
    wakeRead_ = Fd(pipeFds[0]);
    wakeWrite_ = Fd(pipeFds[1]);
    thread_ = std::thread([this] { run(); });
}

PosixDatagramSocket::~PosixDatagramSocket() {
    alive_->store(false);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
}

std::optional<std::string> PosixDatagramSocket::ensureSocket(int family) {
    if (socket_.get() >= 0) {
        return std::nullopt;
    }
    if (family == AF_INET6 || family == AF_UNSPEC) {
        Fd fd(::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        if (fd.get() >= 0) {
            int off = 0;
            ::setsockopt(fd.get(), IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
            socket_ = std::move(fd);
            family_ = AF_INET6;
            return std::nullopt;
        }
        if (family == AF_INET6) {
            return "cannot create an IPv6 socket: " + errorText(errno);
        }
    }
    Fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) {
        return "cannot create a socket: " + errorText(errno);
    }
    socket_ = std::move(fd);
    family_ = AF_INET;
    return std::nullopt;
}

DatagramSocket::BindError PosixDatagramSocket::bindTo(std::uint16_t port,
                                                      const std::string& localAddress) {
    sockaddr_storage address{};
    in_addr v4{};
    in6_addr v6{};
    int wanted = AF_UNSPEC;
    if (localAddress.empty()) {
        wanted = AF_UNSPEC;
    } else if (::inet_pton(AF_INET, localAddress.c_str(), &v4) == 1) {
        wanted = AF_INET;
    } else if (::inet_pton(AF_INET6, localAddress.c_str(), &v6) == 1) {
        wanted = AF_INET6;
    } else {
        return "not a literal address: " + localAddress;
    }

    std::lock_guard lock(mutex_);
    if (auto error = ensureSocket(wanted)) {
        return error;
    }
    socklen_t length = 0;
    if (family_ == AF_INET6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        in6->sin6_addr = in6addr_any;
        if (wanted == AF_INET6) {
            in6->sin6_addr = v6;
        } else if (wanted == AF_INET) {
            // A socket made earlier for sending is dual-stack: bind the v4-mapped form.
            in6->sin6_addr.s6_addr[10] = 0xff;
            in6->sin6_addr.s6_addr[11] = 0xff;
            std::memcpy(&in6->sin6_addr.s6_addr[12], &v4, 4);
        }
        length = sizeof(sockaddr_in6);
    } else {
        if (wanted == AF_INET6) {
            return "cannot bind an IPv6 address on an IPv4 socket: " + localAddress;
        }
        auto* in = reinterpret_cast<sockaddr_in*>(&address);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = wanted == AF_INET ? v4.s_addr : htonl(INADDR_ANY);
        length = sizeof(sockaddr_in);
    }
    // Bound without SO_REUSEADDR or SO_REUSEPORT: no other socket of the machine, of this user or
    // another, may then bind the port on any address and take the datagrams the server sends.
    if (::bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0) {
        const int error = errno;
        if (error == EADDRINUSE && port != 0) {
            return heldBy(port);
        }
        return "bind to " + describe(localAddress.empty() ? "*" : localAddress, port) + ": " +
               errorText(error);
    }
    return std::nullopt;
}

std::uint16_t PosixDatagramSocket::localPort() const {
    std::lock_guard lock(mutex_);
    if (socket_.get() < 0) {
        return 0;
    }
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    std::string host;
    std::uint16_t port = 0;
    addressText(address, host, port);
    return port;
}

void PosixDatagramSocket::send(const std::string& host, std::uint16_t port, std::string bytes) {
    {
        std::lock_guard lock(mutex_);
        if (auto error = ensureSocket(AF_UNSPEC)) {
            log("udp: " + *error);
            return;
        }
        outgoing_.push_back({host, port, std::move(bytes)});
    }
    wake();
}

void PosixDatagramSocket::receive(ReceiveHandler handler) {
    {
        std::lock_guard lock(mutex_);
        if (auto error = ensureSocket(AF_UNSPEC)) {
            log("udp: " + *error);
        }
        reading_ = std::move(handler);
    }
    wake();
}

void PosixDatagramSocket::wake() {
    const char byte = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] auto written = ::write(wakeWrite_.get(), &byte, 1);
}

void PosixDatagramSocket::run() {
    for (;;) {
        std::deque<Outgoing> toSend;
        int fd = -1;
        bool reading = false;
        bool stopping = false;
        {
            std::lock_guard lock(mutex_);
            toSend.swap(outgoing_);
            fd = socket_.get();
            reading = reading_ != nullptr && fd >= 0;
            stopping = stopping_;
        }
        for (const auto& datagram : toSend) {
            sendNow(fd, datagram);
        }
        if (stopping) {
            return;  // what was queued before the destructor ran has just been sent
        }
        pollfd fds[2] = {{wakeRead_.get(), POLLIN, 0}, {fd, POLLIN, 0}};
        if (::poll(fds, reading ? 2 : 1, -1) < 0) {
            if (errno != EINTR) {
                log("udp: poll failed: " + errorText(errno));
            }
            continue;
        }
        if (fds[0].revents != 0) {
            char drain[64];
            while (::read(wakeRead_.get(), drain, sizeof drain) > 0) {
            }
        }
        if (reading && fds[1].revents != 0) {
            receiveNow(fd);
        }
    }
}

void PosixDatagramSocket::sendNow(int fd, const Outgoing& datagram) {
    int family = 0;
    {
        std::lock_guard lock(mutex_);
        family = family_;
    }
    addrinfo hints{};
    hints.ai_family = family == AF_INET ? AF_INET : AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(datagram.host.c_str(), nullptr, &hints, &found);
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> results(found, &::freeaddrinfo);
    if (status != 0) {
        log("udp: cannot resolve \"" + datagram.host + "\": " + ::gai_strerror(status));
        return;
    }
    // IPv4 first: a name that resolves to both would otherwise often go to an IPv6 address
    // nobody listens on, and an unheard datagram reports no error to fall back on.
    std::vector<const addrinfo*> candidates;
    for (const addrinfo* a = results.get(); a; a = a->ai_next) {
        if (a->ai_family == AF_INET) {
            candidates.push_back(a);
        }
    }
    for (const addrinfo* a = results.get(); a; a = a->ai_next) {
        if (a->ai_family == AF_INET6) {
            candidates.push_back(a);
        }
    }
    std::string lastError = "no usable address";
    for (const addrinfo* candidate : candidates) {
        sockaddr_storage to{};
        socklen_t length = 0;
        if (!destinationFor(family, candidate->ai_addr, datagram.port, to, length)) {
            continue;
        }
        // Noted before the datagram leaves, so that it is known when the answer comes.
        noteSentTo(datagram.host, to);
        if (::sendto(fd, datagram.bytes.data(), datagram.bytes.size(), MSG_NOSIGNAL,
                     reinterpret_cast<sockaddr*>(&to), length) >= 0) {
            return;
        }
        lastError = errorText(errno);
    }
    log("udp: cannot send to " + describe(datagram.host, datagram.port) + ": " + lastError);
}

void PosixDatagramSocket::noteSentTo(const std::string& host, const sockaddr_storage& to) {
    std::string address;
    std::uint16_t port = 0;
    addressText(to, address, port);
    std::lock_guard lock(mutex_);
    // A client sends to a handful of names; a bound keeps a long-running one from growing.
    constexpr std::size_t kMaxNames = 16;
    if (sentTo_.size() >= kMaxNames && !sentTo_.contains(host)) {
        sentTo_.clear();
    }
    sentTo_[host].insert(address);
}

bool PosixDatagramSocket::isAddressOf(const std::string& address, const std::string& host) const {
    if (DatagramSocket::isAddressOf(address, host)) {
        return true;
    }
    std::lock_guard lock(mutex_);
    const auto found = sentTo_.find(host);
    return found != sentTo_.end() && found->second.contains(address);
}

std::optional<std::string> PosixDatagramSocket::localAddressTowards(const std::string& host) const {
    addrinfo hints{};
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), "9", &hints, &found) != 0) {
        return std::nullopt;
    }
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, freeaddrinfo);
    for (const addrinfo* at = found; at; at = at->ai_next) {
        // Connecting a datagram socket sends nothing: it only asks the kernel for the route.
        Fd probe(::socket(at->ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        if (probe.get() < 0 || ::connect(probe.get(), at->ai_addr, at->ai_addrlen) != 0) {
            continue;
        }
        sockaddr_storage local{};
        socklen_t length = sizeof local;
        if (::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&local), &length) == 0) {
            std::string address;
            std::uint16_t port = 0;
            addressText(local, address, port);
            return address;
        }
    }
    return std::nullopt;
}

void PosixDatagramSocket::receiveNow(int fd) {
    std::string buffer(kMaxDatagram, '\0');
    sockaddr_storage from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                    reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            log("udp: receive failed: " + errorText(errno));
        }
        return;
    }
    buffer.resize(static_cast<std::size_t>(size));
    Datagram datagram;
    datagram.bytes = std::move(buffer);
    addressText(from, datagram.host, datagram.port);

    ReceiveHandler handler;
    {
        std::lock_guard lock(mutex_);
        handler = std::move(reading_);
        reading_ = nullptr;
    }
    if (!handler) {
        return;
    }
    try {
        MainLoop::main().post([alive = alive_, handler = std::move(handler),
                               datagram = std::move(datagram)]() mutable {
            if (alive->load()) {
                handler(std::move(datagram));
            }
        });
    } catch (const std::exception& e) {
        log(std::string("udp: cannot hand a datagram to the main loop: ") + e.what());
    }
}

}  // namespace oa

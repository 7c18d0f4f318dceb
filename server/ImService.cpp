// The UDP IM service.
#include "server/ImService.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>

#include <cstring>
#include <memory>
#include <string_view>

#include "core/platform/Log.h"
#include "server/HttpSupport.h"
#include "server/ImPassword.h"

namespace oa {

namespace {

bool sameEndpoint(const sockaddr_storage& a, const sockaddr_storage& b) {
    if (a.ss_family != b.ss_family) {
        return false;
    }
    if (a.ss_family == AF_INET) {
        const auto& x = reinterpret_cast<const sockaddr_in&>(a);
        const auto& y = reinterpret_cast<const sockaddr_in&>(b);
        return x.sin_addr.s_addr == y.sin_addr.s_addr && x.sin_port == y.sin_port;
    }
    if (a.ss_family == AF_INET6) {
        const auto& x = reinterpret_cast<const sockaddr_in6&>(a);
        const auto& y = reinterpret_cast<const sockaddr_in6&>(b);
        return std::memcmp(&x.sin6_addr, &y.sin6_addr, sizeof(in6_addr)) == 0 &&
               x.sin6_port == y.sin6_port;
    }
    return false;
}

// Datagram text for the log: control bytes as \xNN, since scrambled passwords contain them.
std::string printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

constexpr std::string_view kLogin = "C^m^l^";

// A datagram as it may be logged: a login keeps its user but not its password, which is only
// scrambled, not hashed.
std::string withoutPassword(const std::string& datagram) {
    if (datagram.rfind(kLogin, 0) != 0) {
        return datagram;
    }
    const auto sep = datagram.find('^', kLogin.size());
    return datagram.substr(0, sep == std::string::npos ? datagram.size() : sep) + "^***^";
}

}  // namespace

ImService::~ImService() {
    stop();
}

bool ImService::start(const std::string& host, std::uint16_t port, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc =
            getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found);
        rc != 0) {
        *error = "IM address " + host + ": " + gai_strerror(rc);
        return false;
    }
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, freeaddrinfo);
    UniqueFd sock(::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, 0));
    if (!sock.valid()) {
        *error = std::string("IM socket: ") + std::strerror(errno);
        return false;
    }
    // A client on the same machine started before the service, holding 1188 on every address,
    // makes this bind fail; started after it, the client binds 1188 on another address.
    if (::bind(sock.get(), found->ai_addr, found->ai_addrlen) != 0) {
        *error = "IM bind " + host + ":" + service + ": " + std::strerror(errno);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(sock.get(), reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                              : reinterpret_cast<sockaddr_in&>(bound).sin_port);
    wake_.reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_.valid()) {
        *error = std::string("eventfd: ") + std::strerror(errno);
        return false;
    }
    socket_ = std::move(sock);
    thread_ = std::thread([this] { run(); });
    return true;
}

void ImService::stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
        thread_.join();
    }
    socket_.reset();
    wake_.reset();
}

void ImService::run() {
    std::string buffer(65536, '\0');
    while (true) {
        pollfd fds[2] = {{socket_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            log(std::string("IM poll: ") + std::strerror(errno));
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) == 0) {
            continue;
        }
        Address from;
        from.length = sizeof from.addr;
        const auto got = ::recvfrom(socket_.get(), buffer.data(), buffer.size(), 0,
                                    reinterpret_cast<sockaddr*>(&from.addr), &from.length);
        if (got < 0) {
            continue;
        }
        const std::string datagram(buffer.data(), static_cast<std::size_t>(got));
        try {
            handle(datagram, from);
        } catch (const std::exception& e) {
            // A database failure must not end the service; the datagram is dropped.
            log(std::string("IM datagram dropped: ") + e.what());
        }
    }
}

void ImService::handle(const std::string& datagram, const Address& from) {
    if (verbose_) {
        log("IM <- " + printable(withoutPassword(datagram)));
    }
    constexpr std::string_view kBeat = "C^m^s^";
    constexpr std::string_view kNotice = "C^n^message^";
    const std::string_view text(datagram);
    if (text.rfind(kLogin, 0) == 0) {
        handleLogin(datagram.substr(kLogin.size()), from);
    } else if (text.rfind(kBeat, 0) == 0) {
        knownSender(datagram.substr(kBeat.size()), from);
    } else if (text.rfind(kNotice, 0) == 0) {
        const std::int64_t uid = knownSender(datagram.substr(kNotice.size()), from);
        if (uid > 0) {
            auto lock = db_.lock();
            if (db_.scalar("SELECT COUNT(*) FROM messages WHERE to_uid = ? AND read_flag = 0", 0,
                           uid) > 0) {
                lock.unlock();
                send("n^message", from);
            }
        }
    }
}

void ImService::handleLogin(const std::string& rest, const Address& from) {
    // "<name>^<scrambled password>^": the scrambled password may itself contain "^", so the
    // name ends at the first separator and the password at the last.
    const auto sep = rest.find('^');
    if (sep == std::string::npos) {
        send("v^NO", from);
        return;
    }
    const std::string name = rest.substr(0, sep);
    std::string scrambled = rest.substr(sep + 1);
    if (!scrambled.empty() && scrambled.back() == '^') {
        scrambled.pop_back();
    }
    const auto uid = sessions_.checkPassword(name, ImPassword::unscramble(scrambled));
    if (!uid) {
        send("v^NO", from);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        presence_[*uid] = {from, Clock::now()};
    }
    sessions_.markOnline(*uid);
    send("v^OK", from);
}

std::int64_t ImService::knownSender(const std::string& uidText, const Address& from) {
    const auto uid = HttpSupport::parseId(uidText);
    if (!uid) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    const auto it = presence_.find(*uid);
    // Only the socket that logged in speaks for the user; on one machine many sockets share
    // the host address.
    if (it == presence_.end() || !sameEndpoint(it->second.address.addr, from.addr)) {
        return 0;
    }
    it->second = {from, Clock::now()};
    return *uid;
}

void ImService::send(const std::string& text, const Address& to) {
    if (verbose_) {
        log("IM -> " + text);
    }
    ::sendto(socket_.get(), text.data(), text.size(), 0,
             reinterpret_cast<const sockaddr*>(&to.addr), to.length);
}

void ImService::push(std::int64_t uid, const std::string& text) {
    Address to;
    {
        std::lock_guard lock(mutex_);
        const auto it = presence_.find(uid);
        if (it == presence_.end() || Clock::now() - it->second.lastSeen > kOnlineWindow) {
            return;
        }
        to = it->second.address;
    }
    if (socket_.valid()) {
        send(text, to);
    }
}

bool ImService::isOnline(std::int64_t uid) const {
    std::lock_guard lock(mutex_);
    const auto it = presence_.find(uid);
    return it != presence_.end() && Clock::now() - it->second.lastSeen <= kOnlineWindow;
}

}  // namespace oa

// UDPListener: the datagram formats of the IM service in both directions.
#include "core/push/UDPListener.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/Log.h"
#include "core/platform/NotificationCenter.h"
#include "core/platform/PosixDatagramSocket.h"
#include "core/platform/Utf8.h"
#include "core/session/GlobalVar.h"

namespace oa {
namespace {

std::mutex g_mutex;
UDPListener::SocketFactory g_factory;  // Guarded by g_mutex.
UDPListener* g_instance = nullptr;     // Guarded by g_mutex; never deleted outside tests.

// Every "^" splits; empty fields count, and a text without "^" is one field.
std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const auto caret = text.find('^', start);
        if (caret == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, caret - start));
        start = caret + 1;
    }
}

// The port of the IM service: a decimal number from 1 to 65535, nothing else. A text that
// would wrap around as a 16-bit number names no port.
std::optional<std::uint16_t> parsePort(const std::optional<std::string>& text) {
    if (!text || text->empty()) {
        return std::nullopt;
    }
    unsigned value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || stop != end || value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// The local port to bind: kLocalPort unless $OA_PUSH_PORT names one (0 to 65535); nothing when
// it names none.
std::optional<std::uint16_t> localPortToBind() {
    const char* text = std::getenv(UDPListener::kLocalPortVariable);
    if (!text || !*text) {
        return UDPListener::kLocalPort;
    }
    unsigned value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

void removeAll(std::string& text, std::string_view what) {
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        text.erase(at, what.size());
    }
}

}  // namespace

void UDPListener::setSocketFactory(SocketFactory factory) {
    std::lock_guard lock(g_mutex);
    g_factory = std::move(factory);
}

UDPListener& UDPListener::getInstance_udp() {
    std::lock_guard lock(g_mutex);
    if (!g_instance) {
        auto socket = g_factory ? g_factory() : std::make_unique<PosixDatagramSocket>();
        g_instance = new UDPListener(std::move(socket));
    }
    return *g_instance;
}

UDPListener* UDPListener::existingInstance() {
    std::lock_guard lock(g_mutex);
    return g_instance;
}

void UDPListener::resetForTesting() {
    UDPListener* instance = nullptr;
    {
        std::lock_guard lock(g_mutex);
        instance = std::exchange(g_instance, nullptr);
    }
    delete instance;
}

UDPListener::UDPListener(std::unique_ptr<DatagramSocket> socket) : udpSocket_(std::move(socket)) {
    if (const auto port = localPortToBind()) {
        wantedPort_ = port;
        bindError_ = udpSocket_->bind(*port);
        if (bindError_ && *port != 0 && *bindError_ == DatagramSocket::heldBy(*port)) {
            heldPort_ = *port;
        }
    } else {
        bindError_ = std::string(kLocalPortVariable) + "=\"" + std::getenv(kLocalPortVariable) +
                     "\" names no port (0 to 65535)";
    }
    if (bindError_) {
        log("Error binding: " + *bindError_);
    }
    startRead();
}

UDPListener::~UDPListener() {
    heartbeat_.cancel();
    announceTimer_.cancel();
    selfTestTimer_.cancel();
}

void UDPListener::startRead() {
    udpSocket_->receive([this](DatagramSocket::Datagram datagram) { didReceive(datagram); });
}

bool UDPListener::fromImService(const DatagramSocket::Datagram& datagram) const {
    return peer_ && datagram.port == peer_->port &&
           udpSocket_->isAddressOf(datagram.host, peer_->host);
}

void UDPListener::drop(const DatagramSocket::Datagram& datagram) {
    ++dropped_;
    ++droppedUnreported_;
    const Duration now = MainLoop::main().now();
    if (lastDropReport_ && now - *lastDropReport_ < kDropReportEvery) {
        return;
    }
    lastDropReport_ = now;
    const std::string service =
        peer_ ? peer_->host + ":" + std::to_string(peer_->port) : "(no login datagram sent yet)";
    log("udp: dropped " + std::to_string(droppedUnreported_) +
        " datagram(s) not from the IM service " + service + ", the last from " + datagram.host +
        ":" + std::to_string(datagram.port));
    droppedUnreported_ = 0;
}

void UDPListener::didReceive(const DatagramSocket::Datagram& datagram) {
    // Whatever an observer does, exactly one read stays outstanding.
    struct NextRead {
        UDPListener* listener;
        ~NextRead() { listener->startRead(); }
    } nextRead{this};

    // Anyone can send to the port; only the service the client signed in to is listened to.
    if (!fromImService(datagram)) {
        drop(datagram);
        return;
    }
    lastDatagramAt_ = MainLoop::main().now();
    const std::string& bytes = datagram.bytes;

    if (!isValidUtf8(bytes)) {
        return;
    }
    const auto fields = splitFields(bytes);
    auto& center = NotificationCenter::defaultCenter();
    if (fields[0] == "v") {
        answered();
        // An answer without a result field is taken as accepted.
        center.post(kLoginUdpResult, std::string(fields.size() > 1 ? fields[1] : ""));
    } else if (fields[0] == "n" && fields.size() > 1) {
        if (fields[1] == "message") {
            center.post(kMessageUdpResult);
        } else {
            center.post(kModulesUdpResult, std::string(fields[1]));
        }
    }
}

std::optional<UDPListener::Peer> UDPListener::imService() const {
    auto& session = GlobalVar::getInstance_global();
    const std::string host = serverHost(session.oa().value_or(""));
    const auto port = parsePort(session.ovix_zqim_port());
    if (host.empty() || !port) {
        log("udp: no IM service address (host \"" + host + "\", port \"" +
            session.ovix_zqim_port().value_or("") + "\"); datagram dropped");
        return std::nullopt;
    }
    return Peer{host, *port};
}

void UDPListener::sendData(const std::string& text) {
    if (const auto service = imService()) {
        udpSocket_->send(service->host, service->port, text);
    }
}

void UDPListener::bindTowards(const std::string& host) {
    const auto local = udpSocket_->localAddressTowards(host);
    if (!local) {
        return;
    }
    // Tried once: a second failure would only repeat the first one's message.
    const std::uint16_t port = *std::exchange(heldPort_, std::nullopt);
    if (udpSocket_->bind(port, *local)) {
        return;
    }
    bindError_.reset();
    log("udp: port " + std::to_string(port) + " bound on " + *local +
        ", the address that reaches " + host + "; another socket holds it on another address");
}

std::optional<std::uint16_t> UDPListener::portHeldByAnotherClient() const {
    if (wantedPort_ && *wantedPort_ != 0 && bindError_ == DatagramSocket::heldBy(*wantedPort_)) {
        return wantedPort_;
    }
    return std::nullopt;
}

void UDPListener::bindBesideService() {
    if (heldPort_) {
        if (const auto service = imService()) {
            bindTowards(service->host);
        }
    }
}

void UDPListener::sendLogin(const std::string& datagram) {
    if (auto service = imService()) {
        if (heldPort_) {
            bindTowards(service->host);
        }
        udpSocket_->send(service->host, service->port, datagram);
        peer_ = std::move(service);
    }
}

void UDPListener::sendMessageNotice() {
    const auto uid = GlobalVar::getInstance_global().uid();
    if (!uid) {
        log("udp: no uid; message notice request not sent");
        return;
    }
    sendData("C^n^message^" + *uid);
}

void UDPListener::announce(std::string loginDatagram) {
    loginDatagram_ = std::move(loginDatagram);
    retries_ = 0;
    sendLogin(loginDatagram_);
    scheduleRetry();
}

void UDPListener::stopAnnouncing() {
    loginDatagram_.clear();
    announceTimer_.cancel();
}

void UDPListener::scheduleRetry() {
    announceTimer_.cancel();
    const Duration delay = retries_ < kRetryDelays.size() ? kRetryDelays[retries_] : kRetryEvery;
    ++retries_;
    announceTimer_ = MainLoop::main().schedule(delay, [this] {
        if (isAnnouncing()) {
            sendLogin(loginDatagram_);
            scheduleRetry();
        }
    });
}

void UDPListener::answered() {
    finishSelfTests(true);
    if (!isAnnouncing()) {
        return;
    }
    // The service knows the client now; it is told again later in case it restarts and
    // forgets, and the retry schedule starts over when that datagram goes unanswered.
    announceTimer_.cancel();
    announceTimer_ = MainLoop::main().schedule(kReannounceEvery, [this] {
        if (isAnnouncing()) {
            retries_ = 0;
            sendLogin(loginDatagram_);
            scheduleRetry();
        }
    });
}

bool UDPListener::isChannelUp() const {
    return lastDatagramAt_ && MainLoop::main().now() - *lastDatagramAt_ < kUpWithin;
}

void UDPListener::selfTest(const std::string& loginDatagram, std::function<void(bool)> done) {
    selfTests_.push_back(std::move(done));
    if (selfTests_.size() == 1) {
        selfTestTimer_ =
            MainLoop::main().schedule(kSelfTestLimit, [this] { finishSelfTests(false); });
    }
    sendLogin(loginDatagram);
}

void UDPListener::finishSelfTests(bool answered) {
    selfTestTimer_.cancel();
    // A callback may start the next test.
    auto waiting = std::exchange(selfTests_, {});
    for (auto& done : waiting) {
        done(answered);
    }
}

bool UDPListener::startHeartbeat(Duration interval, Task tick) {
    if (heartbeat_.isValid() && !heartbeat_.isCancelled()) {
        return false;
    }
    heartbeat_ = MainLoop::main().schedule(interval, std::move(tick), true);
    return true;
}

std::string UDPListener::serverHost(const std::string& oa) {
    std::string address = lowerAscii(oa);
    static constexpr std::string_view kHttps = "https://";
    if (address.compare(0, kHttps.size(), kHttps) == 0) {
        address.erase(0, kHttps.size());
    } else {
        removeAll(address, "http://");
    }
    // A path, query or fragment, or user info before the host, is no part of the host.
    if (const auto end = address.find_first_of("/?#"); end != std::string::npos) {
        address.resize(end);
    }
    if (const auto at = address.rfind('@'); at != std::string::npos) {
        address.erase(0, at + 1);
    }
    if (!address.empty() && address.front() == '[') {
        // An IPv6 literal: its colons are not a port separator.
        const auto close = address.find(']');
        std::string host =
            address.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && address.size() > close + 1) {
            logDiagnostic("newip = " + host);
        }
        return host;
    }
    if (const auto colon = address.find(':'); colon != std::string::npos) {
        address.resize(colon);
        logDiagnostic("newip = " + address);
    }
    return address;
}

}  // namespace oa

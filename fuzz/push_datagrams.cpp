// Fuzz target: any bytes as the datagrams the push channel receives. The first line is also
// taken as the OA address the channel derives the IM host from; every further line is one
// datagram, on a virtual clock that moves a few seconds between them. Nothing may crash or hang,
// each datagram posts at most one notification, and exactly one read stays outstanding.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "core/platform/DatagramSocket.h"
#include "core/platform/ManualLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"

namespace {

using oa::fuzz::require;

// Holds the listener's read; sends go nowhere.
class HeldSocket : public oa::DatagramSocket {
public:
    std::uint16_t localPort() const override { return oa::UDPListener::kLocalPort; }
    void send(const std::string& host, std::uint16_t, std::string) override {
        require(host.find_first_of("/?#@") == std::string::npos);
        ++sends;
    }
    void receive(ReceiveHandler next) override {
        require(!handler);  // one read at a time
        handler = std::move(next);
    }
    // Hands `bytes` to the outstanding read.
    void deliver(std::string bytes) {
        require(static_cast<bool>(handler));
        auto current = std::exchange(handler, nullptr);
        current(Datagram{std::move(bytes), "127.0.0.1", 1188});
    }

    ReceiveHandler handler;
    int sends = 0;

private:
    BindError bindTo(std::uint16_t, const std::string&) override { return std::nullopt; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oa::fuzz::silenceLog();
    oa::ManualLoop loop;
    oa::MainLoop::setMain(&loop);
    auto& session = oa::GlobalVar::getInstance_global();
    session.resetForTesting();
    HeldSocket* socket = nullptr;
    oa::UDPListener::setSocketFactory([&socket] {
        auto made = std::make_unique<HeldSocket>();
        socket = made.get();
        return made;
    });

    int posted = 0;
    auto& center = oa::NotificationCenter::defaultCenter();
    std::vector<oa::ObserverToken> tokens;
    for (const char* name : {oa::UDPListener::kLoginUdpResult, oa::UDPListener::kMessageUdpResult,
                             oa::UDPListener::kModulesUdpResult}) {
        tokens.push_back(center.addObserver(name, [&posted](const oa::Notification& note) {
            ++posted;
            if (note.name == oa::UDPListener::kLoginUdpResult) {
                oa::UDPListener::getInstance_udp().startHeartbeat(std::chrono::seconds(30), [] {});
            }
        }));
    }

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto firstEnd = input.find('\n');
    session.setOa(std::string(input.substr(0, firstEnd)));
    session.setOvix_zqim_port("1188");
    session.setUid("42");
    auto& listener = oa::UDPListener::getInstance_udp();
    require(socket != nullptr);
    listener.announce("C^m^l^fuzz^pw^");

    std::size_t start = firstEnd == std::string_view::npos ? input.size() : firstEnd + 1;
    while (start < input.size()) {
        const auto end = std::min(input.find('\n', start), input.size());
        const int before = posted;
        socket->deliver(std::string(input.substr(start, end - start)));
        require(posted - before <= 1);
        require(static_cast<bool>(socket->handler));
        loop.advance(std::chrono::seconds(static_cast<unsigned char>(input[start]) % 7));
        start = end + 1;
    }
    // Announcing stops at sign-out: nothing more is sent.
    listener.stopAnnouncing();
    loop.advance(std::chrono::minutes(10));
    tokens.clear();
    oa::UDPListener::resetForTesting();
    oa::UDPListener::setSocketFactory(nullptr);
    session.resetForTesting();
    oa::MainLoop::setMain(nullptr);
    return 0;
}

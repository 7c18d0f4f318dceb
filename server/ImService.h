// The IM service on UDP: answers the client's login datagram ("v^OK" / "v^NO"), keeps each
// user's last address and heartbeat, answers the message-notice request, and pushes "n^..."
// notices to online users. One receiving thread; pushes may come from any thread.
#pragma once

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "server/Database.h"
#include "server/PushChannel.h"
#include "server/SessionStore.h"
#include "server/UniqueFd.h"

namespace oa {

class ImService : public PushChannel {
public:
    // A user counts as online this long after the last login datagram or heartbeat (the client
    // beats every 30 seconds).
    static constexpr std::chrono::seconds kOnlineWindow{95};

    ImService(Database& db, SessionStore& sessions, bool verbose)
        : db_(db), sessions_(sessions), verbose_(verbose) {}
    ~ImService() override;
    ImService(const ImService&) = delete;
    ImService& operator=(const ImService&) = delete;

    // Binds host:port (0 picks a free port) with SO_REUSEADDR and starts the receiving thread.
    bool start(const std::string& host, std::uint16_t port, std::string* error);
    void stop();
    std::uint16_t port() const { return port_; }

    void push(std::int64_t uid, const std::string& text) override;
    bool isOnline(std::int64_t uid) const override;

private:
    using Clock = std::chrono::steady_clock;
    struct Address {
        sockaddr_storage addr{};
        socklen_t length = 0;
    };
    struct Presence {
        Address address;
        Clock::time_point lastSeen;
    };

    void run();
    void handle(const std::string& datagram, const Address& from);
    void handleLogin(const std::string& rest, const Address& from);
    // The uid of a heartbeat or notice request, when that user logged in from the sender's
    // address; refreshes the user's presence.
    std::int64_t knownSender(const std::string& uidText, const Address& from);
    void send(const std::string& text, const Address& to);

    Database& db_;
    SessionStore& sessions_;
    const bool verbose_;
    UniqueFd socket_;
    UniqueFd wake_;  // eventfd that ends the receiving thread
    std::uint16_t port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::map<std::int64_t, Presence> presence_;  // Guarded by mutex_.
};

}  // namespace oa

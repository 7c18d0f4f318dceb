// A datagram socket for tests: records what is sent, in order, and hands injected datagrams to
// the outstanding read on the main loop, as a real socket would.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "core/platform/DatagramSocket.h"

namespace oa::test {

class FakeDatagramSocket : public DatagramSocket {
public:
    struct Sent {
        std::string host;
        std::uint16_t port = 0;
        std::string bytes;
        bool operator==(const Sent&) const = default;
    };

    FakeDatagramSocket() = default;
    ~FakeDatagramSocket() override { *alive_ = false; }

    // What the next bind reports; empty for success.
    void failBindWith(std::string error) { bindError_ = std::move(error); }

    std::uint16_t localPort() const override;
    void send(const std::string& host, std::uint16_t port, std::string bytes) override;
    void receive(ReceiveHandler handler) override;

    // Queues a received datagram. It reaches the outstanding read (now, or when the next read
    // starts) through a task posted to MainLoop::main().
    void inject(std::string bytes, std::string fromHost, std::uint16_t fromPort);
    // As an IM service would answer: from where the last datagram was sent (127.0.0.1:1188 before
    // the first).
    void inject(std::string bytes);

    std::vector<Sent> sent() const;
    // Payloads of the sent datagrams, in order.
    std::vector<std::string> sentTexts() const;
    void clearSent();
    // Binds asked for, as "address:port" ("*:1188" for every interface).
    std::vector<std::string> binds() const;
    bool readOutstanding() const;
    // How many reads have been started in all.
    int readsStarted() const;

private:
    BindError bindTo(std::uint16_t port, const std::string& localAddress) override;
    void deliverIfReady();  // needs mutex_

    mutable std::mutex mutex_;
    BindError bindError_;                   // Guarded by mutex_.
    std::uint16_t port_ = 0;                // Guarded by mutex_.
    std::vector<std::string> binds_;        // Guarded by mutex_.
    std::vector<Sent> sent_;                // Guarded by mutex_.
    Sent lastSent_{"127.0.0.1", 1188, {}};  // Guarded by mutex_.
    std::deque<Datagram> incoming_;         // Guarded by mutex_.
    ReceiveHandler reading_;                // Guarded by mutex_.
    bool deliveryPosted_ = false;           // Guarded by mutex_.
    int readsStarted_ = 0;                  // Guarded by mutex_.
    // Main thread: false once destroyed, so a delivery already posted does nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace oa::test

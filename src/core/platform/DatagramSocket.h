// The datagram socket port: one unconnected UDP socket (IPv4 and IPv6) whose received datagrams
// arrive on the main loop. Production: PosixDatagramSocket (core), in every program.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace oa {

class DatagramSocket {
public:
    struct Datagram {
        std::string bytes;       // the payload, whole
        std::string host;        // sender's address as text ("127.0.0.1", "::1")
        std::uint16_t port = 0;  // sender's port
    };
    using ReceiveHandler = std::function<void(Datagram)>;
    // Empty when the bind succeeded, otherwise why it failed.
    using BindError = std::optional<std::string>;

    DatagramSocket() = default;
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;
    // Destroy on the main thread: no handler runs once the destructor has returned.
    virtual ~DatagramSocket() = default;

    // Binds to `port` (0: any free one) on every local interface, IPv4 and IPv6. The port is
    // this socket's alone: while it lives no other socket of the machine binds it, on any address,
    // and a second bind of a fixed port fails with "local port N is held by another client".
    [[nodiscard]] BindError bind(std::uint16_t port) { return bindTo(port, {}); }
    // Binds to `port` on one literal local address only, as above.
    [[nodiscard]] BindError bind(std::uint16_t port, const std::string& localAddress) {
        return bindTo(port, localAddress);
    }
    // The local port of the socket: the bound one, or the one the system chose for the first
    // send; 0 while it has none.
    virtual std::uint16_t localPort() const = 0;

    // Queues one datagram for `host` (a name, resolved, or a literal address) and `port`.
    // Datagrams leave in the order they were queued. A failure (unknown host, network down) is
    // logged and otherwise not reported.
    virtual void send(const std::string& host, std::uint16_t port, std::string bytes) = 0;

    // Whether a datagram from `address` (a literal, as Datagram::host gives it) comes from
    // `host`, a name or a literal address that this socket sent to: the same address in any
    // spelling (an IPv4 address also as its v4-mapped IPv6 form), or for a name an address this
    // socket's sends resolved it to.
    virtual bool isAddressOf(const std::string& address, const std::string& host) const;

    // The local address this machine sends from to reach `host` (a name or a literal address),
    // as a literal; nothing when no route leads there or the socket cannot tell.
    virtual std::optional<std::string> localAddressTowards(const std::string& host) const;

    // What bind() answers when another socket of the machine holds the fixed port.
    static std::string heldBy(std::uint16_t port) {
        return "local port " + std::to_string(port) + " is held by another client";
    }

    // Starts one read: `handler` runs on the main loop (MainLoop::main()) with the next datagram
    // (up to the largest UDP payload, never cut short). At most one read is outstanding; the
    // handler starts the next one if it wants more. A call while a read is outstanding only
    // replaces its handler. Datagrams that arrive in between wait in the socket's buffer.
    virtual void receive(ReceiveHandler handler) = 0;

private:
    virtual BindError bindTo(std::uint16_t port, const std::string& localAddress) = 0;
};

}  // namespace oa

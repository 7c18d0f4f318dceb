// The push channel to the server's IM service: the process's one datagram socket, bound to local
// port 1188 (or $OA_PUSH_PORT). It sends the client's datagrams and turns each received one into a
// notification. Anyone can send to the port: only datagrams from the address and port the login
// datagram last went to are heard; the others are dropped and counted.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/DatagramSocket.h"
#include "core/platform/MainLoop.h"

namespace oa {

class UDPListener {
public:
    using SocketFactory = std::function<std::unique_ptr<DatagramSocket>()>;

    static constexpr std::uint16_t kLocalPort = 1188;
    // Names the local port in place of kLocalPort (0: one the system picks), for a client that
    // runs beside another one or beside an IM service of the same machine, and for tests.
    static constexpr char kLocalPortVariable[] = "OA_PUSH_PORT";
    // The login datagram goes again after each of these delays while no "v" answer has come,
    // then every kRetryEvery; after an answer, again every kReannounceEvery.
    static constexpr std::array<Duration, 5> kRetryDelays{
        std::chrono::seconds(2), std::chrono::seconds(4), std::chrono::seconds(8),
        std::chrono::seconds(16), std::chrono::seconds(32)};
    static constexpr Duration kRetryEvery = std::chrono::seconds(60);
    static constexpr Duration kReannounceEvery = std::chrono::minutes(5);
    // Datagrams from anywhere but the IM service are dropped and counted; the count is logged at
    // most this often.
    static constexpr Duration kDropReportEvery = std::chrono::minutes(1);
    // The channel counts as up while a datagram from the server came this recently.
    static constexpr Duration kUpWithin = std::chrono::minutes(6);
    // A self-test without an answer within this time fails.
    static constexpr Duration kSelfTestLimit = std::chrono::seconds(5);
    // Posted on the main thread with the second field of a "v" answer (std::string; "" when
    // the answer has none). "NO" means the server refused the login datagram.
    static constexpr char kLoginUdpResult[] = "loginUdpResult";
    // Posted without object when the server announces a new instant message.
    static constexpr char kMessageUdpResult[] = "messageUdpResult";
    // Posted with the module key (std::string) whose counters have changed.
    static constexpr char kModulesUdpResult[] = "modulesUdpResult";

    // Makes the socket of the listener: the client installs its Qt socket here before the
    // first getInstance_udp(); without a factory the listener uses a PosixDatagramSocket.
    static void setSocketFactory(SocketFactory factory);
    // The one listener of the process; the first call creates it, binds the local port and
    // starts listening. Never released. Main thread.
    static UDPListener& getInstance_udp();
    // The listener when one exists, without creating it (which would bind the port).
    static UDPListener* existingInstance();
    // Stops the heartbeat and destroys the listener (closing its socket); the next
    // getInstance_udp() makes a new one. For tests, and for a command-line process that must
    // close the socket before its main loop goes away.
    static void resetForTesting();

    UDPListener(const UDPListener&) = delete;
    UDPListener& operator=(const UDPListener&) = delete;
    ~UDPListener();

    // Sends `text` as one datagram to the IM service: the host taken from GlobalVar oa at this
    // moment, the port from GlobalVar ovix_zqim_port. Nothing is reported to the caller; a
    // datagram without a usable host or port is logged and dropped.
    void sendData(const std::string& text);
    // "C^n^message^<uid>": asks the IM service for notices of waiting messages. The main index
    // sends it each time it is built. Dropped (and logged) while the session has no uid.
    void sendMessageNotice();
    // Runs `tick` every `interval` on the main loop. There is one heartbeat per process: once
    // it runs, later calls leave it alone, and since the tick reads the session when it fires,
    // a new sign-in's uid is picked up. Returns whether this call started it.
    bool startHeartbeat(Duration interval, Task tick);

    // Sends the login datagram now and keeps the IM service aware of this client until
    // stopAnnouncing(): the datagram goes again on the retry schedule while no "v" answer has
    // come (UDP loses datagrams silently), and every kReannounceEvery after an answer, so that
    // a restarted service learns of the client again. A new call replaces the datagram and
    // restarts the schedule. Main thread.
    void announce(std::string loginDatagram);
    // Sign-out: no more login datagrams until the next announce().
    void stopAnnouncing();
    bool isAnnouncing() const { return !loginDatagram_.empty(); }

    // How many datagrams were dropped because they came from elsewhere than the address and port
    // the login datagram last went to (all of them before the first login datagram).
    std::size_t droppedDatagrams() const { return dropped_; }

    // When the last datagram from the server arrived, on MainLoop::main().now(); nothing
    // before the first.
    std::optional<Duration> lastDatagramAt() const { return lastDatagramAt_; }
    // Whether a datagram from the server arrived within kUpWithin.
    bool isChannelUp() const;
    // Sends `loginDatagram` and calls `done` on the main thread once: true on the first "v"
    // answer (whatever its result: the service is reachable), false when none came within
    // kSelfTestLimit. Tests that overlap share one deadline.
    void selfTest(const std::string& loginDatagram, std::function<void(bool)> done);

    DatagramSocket& udpSocket() { return *udpSocket_; }
    // Why the local port could not be bound (for instance another client of this machine holds
    // it, or $OA_PUSH_PORT names no port); empty while the listener receives on it.
    const DatagramSocket::BindError& bindError() const { return bindError_; }
    // Once the session names the IM service: when the wildcard bind found the fixed port held,
    // takes it on the address that reaches the service if it is free there (the login datagram
    // does the same by itself).
    void bindBesideService();
    // Whether the fixed port was found held at the wildcard and bindBesideService() may still
    // take it.
    bool portHeld() const { return heldPort_.has_value(); }
    // The fixed port while another client of this machine holds it on every address this
    // listener could take it on: this client then gets no pushes.
    std::optional<std::uint16_t> portHeldByAnotherClient() const;

    // The IM service's host for the OA address `oa`: lower case, without "http://" and without
    // anything from the first ":" on (logging "newip = <host>" when a port was cut). An
    // "https://" address or one with a path gives the URL's host, without port or path.
    static std::string serverHost(const std::string& oa);

private:
    // Binds the socket and starts the first read; a failed bind is logged and the listener
    // carries on without it.
    explicit UDPListener(std::unique_ptr<DatagramSocket> socket);
    struct Peer {
        std::string host;
        std::uint16_t port = 0;
    };
    // The IM service's address for the session at this moment; logged when there is none.
    std::optional<Peer> imService() const;
    void sendLogin(const std::string& datagram);
    // When another socket holds the fixed port on one address of this machine (an IM service
    // running beside the client), the wildcard bind fails; the port may still be free on the
    // address that reaches `host`. Nothing else can then bind it on any address that overlaps.
    void bindTowards(const std::string& host);
    bool fromImService(const DatagramSocket::Datagram& datagram) const;
    void drop(const DatagramSocket::Datagram& datagram);
    void startRead();
    void didReceive(const DatagramSocket::Datagram& datagram);
    void scheduleRetry();
    void answered();
    void finishSelfTests(bool answered);

    std::unique_ptr<DatagramSocket> udpSocket_;
    DatagramSocket::BindError bindError_;      // set by the constructor; cleared by bindTowards()
    std::optional<std::uint16_t> heldPort_;    // the fixed port the wildcard bind could not take
    std::optional<std::uint16_t> wantedPort_;  // the port the constructor bound, or tried to
    // Main thread only, from here on.
    TimerHandle heartbeat_;
    std::string loginDatagram_;  // empty while not announcing
    std::size_t retries_ = 0;    // login datagrams sent since the last answer
    TimerHandle announceTimer_;
    std::optional<Duration> lastDatagramAt_;
    std::optional<Peer> peer_;  // where the last login datagram went
    std::size_t dropped_ = 0;
    std::size_t droppedUnreported_ = 0;
    std::optional<Duration> lastDropReport_;
    std::vector<std::function<void(bool)>> selfTests_;
    TimerHandle selfTestTimer_;
};

}  // namespace oa

// The POSIX datagram socket on loopback: round trips over IPv4, IPv6 and names, whole large
// datagrams, one read at a time, a port shared with a program bound to one loopback address but
// not with a second client, and a clean shutdown.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "core/platform/Log.h"
#include "core/platform/ManualLoop.h"
#include "core/platform/PortClaim.h"
#include "core/platform/PosixDatagramSocket.h"

using namespace std::chrono_literals;

namespace oa::test {
namespace {

using ::testing::ElementsAre;

// Counts the tasks handed to the main loop, so a test can tell a delivery has been posted.
class CountingLoop : public ManualLoop {
public:
    void post(Task task) override {
        ++posts;
        ManualLoop::post(std::move(task));
    }
    std::atomic<int> posts{0};
};

class PosixDatagramSocketTest : public ::testing::Test {
protected:
    void SetUp() override { MainLoop::setMain(&loop); }
    void TearDown() override { MainLoop::setMain(nullptr); }

    // Starts reads on `socket` that collect every datagram into `into`, one read at a time.
    static void collect(DatagramSocket& socket, std::vector<DatagramSocket::Datagram>& into) {
        socket.receive([&socket, &into](DatagramSocket::Datagram datagram) {
            into.push_back(std::move(datagram));
            collect(socket, into);
        });
    }

    bool waitFor(const std::vector<DatagramSocket::Datagram>& received, std::size_t count) {
        return loop.runUntil([&] { return received.size() >= count; });
    }

    CountingLoop loop;
};

TEST_F(PosixDatagramSocketTest, RoundTripOnIpv4Ipv6AndByName) {
    PosixDatagramSocket server;
    PosixDatagramSocket client;
    ASSERT_EQ(server.bind(0), std::nullopt);
    ASSERT_EQ(client.bind(0), std::nullopt);
    const std::uint16_t port = server.localPort();
    ASSERT_NE(port, 0);

    std::vector<DatagramSocket::Datagram> received;
    std::vector<bool> onMainThread;
    std::function<void()> read = [&] {
        server.receive([&](DatagramSocket::Datagram datagram) {
            onMainThread.push_back(loop.isMainThread());
            received.push_back(std::move(datagram));
            read();
        });
    };
    read();
    client.send("127.0.0.1", port, "C^m^s^1");
    client.send("::1", port, "C^m^s^2");
    client.send("localhost", port, "C^m^s^3");
    ASSERT_TRUE(waitFor(received, 3));

    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].bytes, "C^m^s^1");
    EXPECT_EQ(received[0].host, "127.0.0.1");
    EXPECT_EQ(received[0].port, client.localPort());
    EXPECT_EQ(received[1].bytes, "C^m^s^2");
    EXPECT_EQ(received[1].host, "::1");
    EXPECT_EQ(received[2].bytes, "C^m^s^3");
    EXPECT_THAT(onMainThread, ElementsAre(true, true, true));
}

TEST_F(PosixDatagramSocketTest, LargeDatagramsAndBinaryBytesArriveWhole) {
    PosixDatagramSocket server;
    PosixDatagramSocket client;
    ASSERT_EQ(server.bind(0, "127.0.0.1"), std::nullopt);
    std::vector<DatagramSocket::Datagram> received;
    collect(server, received);

    std::string big9216(9216, 'a');
    std::string big30000(30000, 'b');
    const std::string binary("\0\xff^\x80\n", 5);
    client.send("127.0.0.1", server.localPort(), big9216);
    client.send("127.0.0.1", server.localPort(), big30000);
    client.send("127.0.0.1", server.localPort(), binary);
    client.send("127.0.0.1", server.localPort(), "");
    ASSERT_TRUE(waitFor(received, 4));
    EXPECT_EQ(received[0].bytes, big9216);
    EXPECT_EQ(received[1].bytes, big30000);
    EXPECT_EQ(received[2].bytes, binary);
    EXPECT_EQ(received[3].bytes, "");
}

TEST_F(PosixDatagramSocketTest, DatagramsWaitForTheNextReadAndKeepTheirOrder) {
    PosixDatagramSocket server;
    PosixDatagramSocket client;
    ASSERT_EQ(server.bind(0, "127.0.0.1"), std::nullopt);
    for (const char* text : {"one", "two", "three"}) {
        client.send("127.0.0.1", server.localPort(), text);
    }
    std::vector<std::string> got;
    auto once = [&](DatagramSocket::Datagram d) { got.push_back(d.bytes); };
    server.receive(once);
    ASSERT_TRUE(loop.runUntil([&] { return got.size() == 1; }));
    // No read outstanding: the others stay in the socket's buffer.
    EXPECT_FALSE(loop.runUntil([&] { return got.size() > 1; }, 200ms));
    server.receive(once);
    ASSERT_TRUE(loop.runUntil([&] { return got.size() == 2; }));
    server.receive(once);
    ASSERT_TRUE(loop.runUntil([&] { return got.size() == 3; }));
    EXPECT_THAT(got, ElementsAre("one", "two", "three"));
}

// A port no socket uses at the moment, found by letting the system pick one.
std::uint16_t freePort() {
    PosixDatagramSocket probe;
    EXPECT_EQ(probe.bind(0, "127.0.0.1"), std::nullopt);
    return probe.localPort();
}

// Removes the lock file of a port the test made up, once nothing holds it any more.
struct RemoveClaimFile {
    std::uint16_t port;
    ~RemoveClaimFile() {
        std::error_code ignored;
        std::filesystem::remove(PortClaim::lockPath(port), ignored);
    }
};

// A plain IPv4 socket bound without SO_REUSEADDR, as a program that does not share would be.
int bindExclusive(const char* address, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &in.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST_F(PosixDatagramSocketTest, SharesItsPortWithAProgramBoundToOneLoopbackAddress) {
    for (const bool wildcardFirst : {true, false}) {
        SCOPED_TRACE(wildcardFirst ? "all interfaces first" : "127.0.0.2 first");
        RemoveClaimFile cleanup{0};                                 // goes after the sockets
        auto everywhere = std::make_unique<PosixDatagramSocket>();  // the client, on *:port
        auto service = std::make_unique<PosixDatagramSocket>();     // the IM service
        std::uint16_t port = 0;
        if (wildcardFirst) {
            ASSERT_EQ(everywhere->bind(0), std::nullopt);
            port = everywhere->localPort();
            ASSERT_EQ(service->bind(port, "127.0.0.2"), std::nullopt);
        } else {
            ASSERT_EQ(service->bind(0, "127.0.0.2"), std::nullopt);
            port = service->localPort();
            cleanup.port = port;
            ASSERT_EQ(everywhere->bind(port), std::nullopt);
        }
        // Without sharing the port is taken: the binds above needed the option.
        EXPECT_EQ(bindExclusive("127.0.0.3", port), -1);

        std::vector<DatagramSocket::Datagram> atClient;
        std::vector<DatagramSocket::Datagram> atService;
        collect(*everywhere, atClient);
        collect(*service, atService);
        PosixDatagramSocket sender;
        sender.send("127.0.0.2", port, "to the service");
        sender.send("127.0.0.1", port, "to the client");
        ASSERT_TRUE(loop.runUntil([&] { return atClient.size() + atService.size() == 2; }));
        ASSERT_EQ(atService.size(), 1u);
        EXPECT_EQ(atService[0].bytes, "to the service");
        ASSERT_EQ(atClient.size(), 1u);
        EXPECT_EQ(atClient[0].bytes, "to the client");
        loop.runPending();
    }
}

// The system lets a second socket bind a shared port on every interface as well, and gives it
// the datagrams meant for the first; the claim refuses it, whichever way it names every
// interface, for as long as the first socket lives. A service on one address still shares the
// port.
TEST_F(PosixDatagramSocketTest, OneSocketOfTheMachineBindsAFixedPortOnEveryInterface) {
    const std::uint16_t port = freePort();
    ASSERT_NE(port, 0);
    RemoveClaimFile cleanup{port};
    const std::string held = "local port " + std::to_string(port) + " is held by another client";

    auto first = std::make_unique<PosixDatagramSocket>();
    ASSERT_EQ(first->bind(port), std::nullopt);
    for (const std::string everywhere : {"", "0.0.0.0", "::"}) {
        SCOPED_TRACE("second socket on \"" + everywhere + "\"");
        PosixDatagramSocket second;
        EXPECT_EQ(everywhere.empty() ? second.bind(port) : second.bind(port, everywhere), held);
    }
    // The claim is the lock file that other processes look at.
    EXPECT_EQ(FileLock::tryAcquire(PortClaim::lockPath(port)).state(), FileLock::State::Busy);
    PosixDatagramSocket service;
    EXPECT_EQ(service.bind(port, "127.0.0.2"), std::nullopt);

    first.reset();
    PosixDatagramSocket next;
    ASSERT_EQ(next.bind(port), std::nullopt);
    std::vector<DatagramSocket::Datagram> received;
    collect(next, received);
    PosixDatagramSocket sender;
    sender.send("127.0.0.1", port, "v^OK");
    ASSERT_TRUE(waitFor(received, 1));
    EXPECT_EQ(received[0].bytes, "v^OK");
}

TEST_F(PosixDatagramSocketTest, BindToTakenPortFailsWithAReason) {
    PosixDatagramSocket probe;
    ASSERT_EQ(probe.bind(0, "127.0.0.1"), std::nullopt);
    const std::uint16_t port = probe.localPort();
    const int taken = bindExclusive("0.0.0.0", static_cast<std::uint16_t>(port + 1));
    if (taken < 0) {
        GTEST_SKIP() << "port " << port + 1 << " is in use";
    }
    PosixDatagramSocket socket;
    const auto error = socket.bind(static_cast<std::uint16_t>(port + 1));
    ::close(taken);
    ASSERT_TRUE(error.has_value());
    EXPECT_THAT(*error, ::testing::HasSubstr(std::to_string(port + 1)));
    // The failed bind keeps no claim on the port.
    const auto takenPort = static_cast<std::uint16_t>(port + 1);
    RemoveClaimFile cleanup{takenPort};
    EXPECT_TRUE(FileLock::tryAcquire(PortClaim::lockPath(takenPort)).held());
    EXPECT_EQ(socket.bind(0, "not an address"), "not a literal address: not an address");
}

TEST_F(PosixDatagramSocketTest, DestroyedSocketRunsNoPostedHandlerAndSendsWhatWasQueued) {
    PosixDatagramSocket server;
    ASSERT_EQ(server.bind(0, "127.0.0.1"), std::nullopt);
    std::vector<DatagramSocket::Datagram> atServer;
    collect(server, atServer);

    bool handlerRan = false;
    {
        PosixDatagramSocket client;
        ASSERT_EQ(client.bind(0, "127.0.0.1"), std::nullopt);
        client.receive([&](DatagramSocket::Datagram) { handlerRan = true; });
        const int postsBefore = loop.posts;
        client.send("127.0.0.1", client.localPort(), "to myself");
        for (int i = 0; i < 2000 && loop.posts == postsBefore; ++i) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_GT(loop.posts, postsBefore);
        client.send("127.0.0.1", server.localPort(), "last words");
    }
    loop.runPending();
    EXPECT_FALSE(handlerRan);
    ASSERT_TRUE(waitFor(atServer, 1));
    EXPECT_EQ(atServer[0].bytes, "last words");
}

TEST_F(PosixDatagramSocketTest, UnresolvableHostIsLoggedAndLaterSendsStillWork) {
    std::vector<std::string> lines;
    std::mutex linesMutex;
    auto previous = setLogSink([&](std::string_view line) {
        std::lock_guard lock(linesMutex);
        lines.emplace_back(line);
    });
    PosixDatagramSocket server;
    ASSERT_EQ(server.bind(0, "127.0.0.1"), std::nullopt);
    std::vector<DatagramSocket::Datagram> received;
    collect(server, received);
    {
        PosixDatagramSocket client;
        client.send("", server.localPort(), "nowhere");
        client.send("127.0.0.1", server.localPort(), "somewhere");
        ASSERT_TRUE(waitFor(received, 1));
    }
    setLogSink(previous);
    EXPECT_EQ(received[0].bytes, "somewhere");
    std::lock_guard lock(linesMutex);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], ::testing::HasSubstr("cannot resolve"));
}

}  // namespace
}  // namespace oa::test

// The POSIX datagram socket on loopback: round trips over IPv4, IPv6 and names, whole large
// datagrams, one read at a time, a port shared with no other socket of the machine, and a clean
// shutdown.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>

#include "core/platform/Log.h"
#include "core/platform/ManualLoop.h"
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
    // An answer from where a name was sent to is known as that name's.
    EXPECT_TRUE(client.isAddressOf("127.0.0.1", "localhost"));
    EXPECT_FALSE(client.isAddressOf("127.0.0.2", "localhost"));
    EXPECT_TRUE(client.isAddressOf("127.0.0.1", "::ffff:127.0.0.1"));
    EXPECT_FALSE(client.isAddressOf("::1", "127.0.0.1"));
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

// A socket of another program, of this user or another, bound to `address` and `port` with
// every sharing option the system has; the descriptor, or -1 when the system refused the bind.
int bindSharing(const std::string& address, std::uint16_t port) {
    sockaddr_storage storage{};
    socklen_t length = sizeof(sockaddr_in);
    auto* in = reinterpret_cast<sockaddr_in*>(&storage);
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
    if (::inet_pton(AF_INET, address.c_str(), &in->sin_addr) == 1) {
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
    } else {
        ::inet_pton(AF_INET6, address.c_str(), &in6->sin6_addr);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        length = sizeof(sockaddr_in6);
    }
    const int fd = ::socket(storage.ss_family, SOCK_DGRAM, 0);
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// While the client's socket lives, no other socket of the machine binds its port, on any
// address and with any option, so none can take the datagrams the server sends the client; a
// second client is told why. Once the socket is gone the port is free again.
TEST_F(PosixDatagramSocketTest, NoOtherSocketBindsItsPort) {
    auto first = std::make_unique<PosixDatagramSocket>();
    ASSERT_EQ(first->bind(0), std::nullopt);
    const std::uint16_t port = first->localPort();
    ASSERT_NE(port, 0);
    for (const char* address : {"0.0.0.0", "127.0.0.1", "127.0.0.2", "::", "::1"}) {
        SCOPED_TRACE(address);
        const int intruder = bindSharing(address, port);
        EXPECT_EQ(intruder, -1);
        if (intruder >= 0) {
            ::close(intruder);
        }
    }
    const std::string held = "local port " + std::to_string(port) + " is held by another client";
    for (const std::string everywhere : {"", "0.0.0.0", "::"}) {
        SCOPED_TRACE("second client on \"" + everywhere + "\"");
        PosixDatagramSocket second;
        EXPECT_EQ(everywhere.empty() ? second.bind(port) : second.bind(port, everywhere), held);
    }

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
    const int taken = bindSharing("0.0.0.0", static_cast<std::uint16_t>(port + 1));
    if (taken < 0) {
        GTEST_SKIP() << "port " << port + 1 << " is in use";
    }
    PosixDatagramSocket socket;
    const auto error = socket.bind(static_cast<std::uint16_t>(port + 1));
    ::close(taken);
    ASSERT_TRUE(error.has_value());
    EXPECT_THAT(*error, ::testing::HasSubstr(std::to_string(port + 1)));
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

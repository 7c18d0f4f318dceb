// The listener: what each received datagram posts, that listening never stops, and where the
// client's datagrams go.
#include <gmock/gmock.h>

#include <stdexcept>

#include "PushFixture.h"

namespace oa::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class UDPListenerTest : public PushFixture {};

TEST_F(UDPListenerTest, BindsLocalPort1188AndKeepsOneReadOutstanding) {
    auto& socket = fake();
    EXPECT_THAT(socket.binds(), ElementsAre("*:1188"));
    EXPECT_EQ(UDPListener::getInstance_udp().bindError(), std::nullopt);
    EXPECT_TRUE(socket.readOutstanding());
    EXPECT_EQ(&UDPListener::getInstance_udp(), &UDPListener::getInstance_udp());
    EXPECT_EQ(socket.readsStarted(), 1);
}

TEST_F(UDPListenerTest, FailedBindIsLoggedAndTheChannelCarriesOn) {
    bindError = "Address already in use";
    signedIn();
    auto& socket = fake();
    EXPECT_THAT(logLines, ElementsAre("Error binding: Address already in use"));
    // Kept for a caller that cannot do without the port (oa-cli listen).
    EXPECT_EQ(UDPListener::getInstance_udp().bindError(), "Address already in use");

    serviceKnown();
    socket.inject("n^message");
    loop.runPending();
    UDPListener::getInstance_udp().sendData("C^m^s^42");
    EXPECT_THAT(events, ElementsAre("messageUdpResult"));
    EXPECT_THAT(socket.sentTexts(), ElementsAre("C^m^s^42"));
}

struct DispatchCase {
    std::string datagram;
    std::vector<std::string> posted;
};

TEST_F(UDPListenerTest, DispatchTableAndListeningGoesOnAfterEveryDatagram) {
    const std::vector<DispatchCase> cases = {
        {"v^OK", {"loginUdpResult OK"}},
        {"v^NO", {"loginUdpResult NO"}},
        {"v^no", {"loginUdpResult no"}},
        {"v^", {"loginUdpResult "}},
        {"v", {"loginUdpResult "}},  // no result field: taken as accepted
        {"v^1^ignored^fields", {"loginUdpResult 1"}},
        {"n^message", {"messageUdpResult"}},
        {"n^message^7", {"messageUdpResult"}},
        {"n^email", {"modulesUdpResult email"}},
        {"n^", {"modulesUdpResult "}},
        {"n^Message", {"modulesUdpResult Message"}},
        {"n^\xe9\x82\xae\xe4\xbb\xb6", {"modulesUdpResult \xe9\x82\xae\xe4\xbb\xb6"}},
        {"n", {}},
        {"r^anything", {}},
        {"r", {}},
        {"V^OK", {}},
        {"N^message", {}},
        {" v^OK", {}},
        {"x^v^OK", {}},
        {"", {}},
        {std::string("\0^v", 3), {}},
        {"\xff\xfe", {}},
        {"n^\xc0\xae", {}},          // overlong encoding of "."
        {"n^\xed\xa0\x80", {}},      // a UTF-16 surrogate
        {"n^\xe9\x82", {}},          // cut inside a character
        {"v^\xf4\x90\x80\x80", {}},  // above U+10FFFF
    };
    signedIn();
    serviceKnown();
    for (const auto& c : cases) {
        SCOPED_TRACE("datagram \"" + c.datagram + "\"");
        events.clear();
        fake().inject(c.datagram);
        fake().inject("n^news");
        loop.runPending();
        auto expected = c.posted;
        expected.push_back("modulesUdpResult news");
        EXPECT_EQ(events, expected);
        EXPECT_TRUE(fake().readOutstanding());
    }
}

TEST_F(UDPListenerTest, NotificationsArriveOnTheMainThread) {
    std::vector<bool> onMain;
    auto token = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kMessageUdpResult,
        [&](const Notification&) { onMain.push_back(loop.isMainThread()); });
    signedIn();
    serviceKnown();
    fake().inject("n^message");
    loop.runPending();
    EXPECT_THAT(onMain, ElementsAre(true));
}

TEST_F(UDPListenerTest, ObserverThatThrowsDoesNotStopListening) {
    auto token = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kModulesUdpResult,
        [](const Notification&) { throw std::runtime_error("observer failed"); });
    signedIn();
    serviceKnown();
    fake().inject("n^email");
    EXPECT_THROW(loop.runPending(), std::runtime_error);
    EXPECT_TRUE(fake().readOutstanding());

    token.reset();
    events.clear();
    fake().inject("n^message");
    loop.runPending();
    EXPECT_THAT(events, ElementsAre("messageUdpResult"));
}

struct SenderCase {
    std::string host;
    std::uint16_t port;
    bool heard;
};

// Anyone may send to the client's port; only the address and port the login datagram went to
// (192.168.1.20:1188) are heard, in any spelling of the address.
TEST_F(UDPListenerTest, OnlyTheImServiceIsHeard) {
    signedIn();
    fake().inject("v^OK", "192.168.1.20", 1188);  // before any login datagram nobody is heard
    loop.runPending();
    EXPECT_THAT(events, IsEmpty());

    serviceKnown();
    const std::vector<SenderCase> cases = {
        {"127.0.0.5", 4444, false},          {"192.168.1.20", 4444, false},
        {"192.168.1.21", 1188, false},       {"127.0.0.1", 1188, false},
        {"::ffff:192.168.1.20", 1188, true}, {"192.168.1.20", 1188, true},
    };
    std::size_t dropped = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host + ":" + std::to_string(c.port));
        events.clear();
        for (const char* datagram : {"n^message", "n^email", "v^NO"}) {
            fake().inject(datagram, c.host, c.port);
        }
        loop.runPending();
        dropped += c.heard ? 0 : 3;
        EXPECT_EQ(events.size(), c.heard ? 3u : 0u);
        EXPECT_EQ(UDPListener::getInstance_udp().droppedDatagrams(), dropped);
        EXPECT_TRUE(fake().readOutstanding());
    }
}

// A flood of foreign datagrams is logged once a minute, with the count since the last line.
TEST_F(UDPListenerTest, DroppedDatagramsAreLoggedOnceAMinute) {
    signedIn();
    serviceKnown();
    logLines.clear();
    const auto spoof = [&](int times) {
        for (int i = 0; i < times; ++i) {
            fake().inject("n^email", "127.0.0.5", 4444);
        }
        loop.runPending();
    };
    spoof(1);
    spoof(500);
    loop.advance(UDPListener::kDropReportEvery - std::chrono::seconds(1));
    spoof(1);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_THAT(logLines[0], ::testing::StartsWith("udp: dropped 1 datagram(s) not from the IM "
                                                   "service 192.168.1.20:1188, the last from "
                                                   "127.0.0.5:4444"));
    loop.advance(std::chrono::seconds(1));
    spoof(1);
    ASSERT_EQ(logLines.size(), 2u);
    EXPECT_THAT(logLines[1], ::testing::StartsWith("udp: dropped 502 datagram(s)"));
    EXPECT_THAT(events, IsEmpty());
}

struct HostCase {
    std::string oa;
    std::string host;
    std::vector<std::string> log;
};

TEST_F(UDPListenerTest, HostIsDerivedFromTheOaAddressAtEverySend) {
    const std::vector<HostCase> cases = {
        {"http://192.168.1.20:8080", "192.168.1.20", {"newip = 192.168.1.20"}},
        {"http://192.168.1.20", "192.168.1.20", {}},
        {"HTTP://OA.Example.COM:80", "oa.example.com", {"newip = oa.example.com"}},
        {"http://oa.example.com", "oa.example.com", {}},
        {"http://oa.example.com/mobile/", "oa.example.com", {}},
        {"http://oa.example.com:8080/oa", "oa.example.com", {"newip = oa.example.com"}},
        {"https://oa.example.com", "oa.example.com", {}},
        {"HTTPS://Secure.Example.com:8443/oa?x=1",
         "secure.example.com",
         {"newip = secure.example.com"}},
        {"http://[::1]:8080/", "::1", {"newip = ::1"}},
        {"10.0.0.5:8080", "10.0.0.5", {"newip = 10.0.0.5"}},
    };
    auto& session = GlobalVar::getInstance_global();
    session.setOvix_zqim_port("1188");
    auto& listener = UDPListener::getInstance_udp();
    for (const auto& c : cases) {
        SCOPED_TRACE("oa \"" + c.oa + "\"");
        fake().clearSent();
        logLines.clear();
        session.setOa(c.oa);
        listener.sendData("C^m^s^42");
        EXPECT_THAT(fake().sent(), ElementsAre(FakeDatagramSocket::Sent{c.host, 1188, "C^m^s^42"}));
        EXPECT_EQ(logLines, c.log);
    }
}

TEST_F(UDPListenerTest, DatagramWithoutUsableHostOrPortIsDroppedAndLogged) {
    auto& session = GlobalVar::getInstance_global();
    auto& listener = UDPListener::getInstance_udp();
    const std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> cases = {
        {std::nullopt, "1188"},     {"", "1188"},          {"http://", "1188"},
        {"http://h", std::nullopt}, {"http://h", ""},      {"http://h", "0"},
        {"http://h", "65536"},      {"http://h", "67724"}, {"http://h", "11x"},
        {"http://h", "-1188"},
    };
    for (const auto& [oa, port] : cases) {
        SCOPED_TRACE(oa.value_or("(absent)") + " port " + port.value_or("(absent)"));
        logLines.clear();
        session.setOa(oa);
        session.setOvix_zqim_port(port);
        listener.sendData("C^m^s^42");
        EXPECT_THAT(fake().sent(), IsEmpty());
        EXPECT_FALSE(logLines.empty());
    }
    session.setOa("http://h");
    session.setOvix_zqim_port("65535");
    listener.sendData("x");
    EXPECT_THAT(fake().sent(), ElementsAre(FakeDatagramSocket::Sent{"h", 65535, "x"}));
}

TEST_F(UDPListenerTest, MessageNoticeRequestCarriesTheCurrentUid) {
    signedIn("42");
    auto& listener = UDPListener::getInstance_udp();
    listener.sendMessageNotice();
    GlobalVar::getInstance_global().setUid("77");
    listener.sendMessageNotice();
    GlobalVar::getInstance_global().setUid(std::nullopt);
    listener.sendMessageNotice();
    EXPECT_THAT(fake().sent(),
                ElementsAre(FakeDatagramSocket::Sent{"192.168.1.20", 1188, "C^n^message^42"},
                            FakeDatagramSocket::Sent{"192.168.1.20", 1188, "C^n^message^77"}));
}

}  // namespace
}  // namespace oa::test

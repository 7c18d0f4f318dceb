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
    fake().inject("n^message");
    loop.runPending();
    EXPECT_THAT(onMain, ElementsAre(true));
}

TEST_F(UDPListenerTest, ObserverThatThrowsDoesNotStopListening) {
    auto token = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kModulesUdpResult,
        [](const Notification&) { throw std::runtime_error("observer failed"); });
    fake().inject("n^email");
    EXPECT_THROW(loop.runPending(), std::runtime_error);
    EXPECT_TRUE(fake().readOutstanding());

    token.reset();
    events.clear();
    fake().inject("n^message");
    loop.runPending();
    EXPECT_THAT(events, ElementsAre("messageUdpResult"));
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

// The IM service on UDP: the scrambled login, a client bound to another address on the
// server's own port, the message-notice request, presence, and datagrams it must shrug off.
#include <gtest/gtest.h>

#include <random>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

using namespace std::chrono_literals;

class ImServiceTest : public ServerFixture {};

TEST_F(ImServiceTest, LoginDatagramIsAnsweredByThePassword) {
    struct Case {
        std::string datagram;
        std::string answer;
    };
    const std::vector<Case> cases = {
        {"C^m^l^zhangwei^" + scramble("123456") + "^", "v^OK"},
        {"C^m^l^zhangwei^" + scramble("123457") + "^", "v^NO"},
        {"C^m^l^zhangwei^123456^", "v^NO"},  // not scrambled
        {"C^m^l^nobody^" + scramble("123456") + "^", "v^NO"},
        {"C^m^l^zhangwei^^", "v^NO"},  // empty password
        {"C^m^l^zhangwei", "v^NO"},    // no password field at all
        // This password scrambles to a text that starts with "^", the field separator.
        {"C^m^l^yangfan^" + scramble("Lucky2013") + "^", "v^OK"},
    };
    ASSERT_EQ(scramble("Lucky2013")[0], '^');
    for (const Case& c : cases) {
        UdpPeer peer("127.0.0.1", 0);
        peer.send(c.datagram, kHost, imPort());
        EXPECT_EQ(peer.receive(), std::optional<std::string>(c.answer)) << c.datagram;
    }
}

// The client binds its fixed port on the address that reaches the server, 127.0.0.1, while the
// server's IM socket has the same port on its own address; datagrams must travel both ways.
TEST_F(ImServiceTest, ClientOnAnotherAddressSharesTheServersPort) {
    UdpPeer client("127.0.0.1", imPort());
    ASSERT_TRUE(client.bound()) << "binding the server's port on 127.0.0.1 failed";
    ASSERT_EQ(client.port(), imPort());

    client.send("C^m^l^zhangwei^" + scramble("123456") + "^", kHost, imPort());
    EXPECT_EQ(client.receive(), std::optional<std::string>("v^OK"))
        << "the client must get the answer, not its own datagram";

    // A message sent over HTTP is pushed to that client.
    postText(
        "/mobile/message/data.php",
        {{"Q_UID", "9"}, {"CONTENT", "在吗？"}, {"ATYPE", "sendSignleMsg"}, {"P", signIn("lina")}});
    EXPECT_EQ(client.receive(), std::optional<std::string>("n^message"));
}

TEST_F(ImServiceTest, MessageNoticeRequestAnswersOnlyKnownUsersWithUnreadMessages) {
    auto zhangwei = imLogin("zhangwei");  // has unread messages
    zhangwei->send("C^n^message^9", kHost, imPort());
    EXPECT_EQ(zhangwei->receive(), std::optional<std::string>("n^message"));

    auto yangfan = imLogin("yangfan", "Lucky2013");  // has none
    yangfan->send("C^n^message^12", kHost, imPort());
    EXPECT_EQ(yangfan->receive(300ms), std::nullopt);

    // A socket that never logged in learns nothing about user 9.
    UdpPeer stranger("127.0.0.1", 0);
    stranger.send("C^n^message^9", kHost, imPort());
    EXPECT_EQ(stranger.receive(300ms), std::nullopt);
}

TEST_F(ImServiceTest, PresenceFollowsTheLoginAndShowsInConversations) {
    const std::string boss = signIn("wangjianguo");
    auto onlineOf = [&](const std::string& partner) {
        for (const auto& row :
             postJson("/mobile/message/data.php",
                      {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", boss}})) {
            if (row["q_id"] == partner) {
                return row["online"].get<std::string>();
            }
        }
        return std::string("absent");
    };
    EXPECT_EQ(onlineOf("2"), "0");
    auto liuli = imLogin("liuli");
    liuli->send("C^m^s^2", kHost, imPort());  // heartbeat
    EXPECT_EQ(onlineOf("2"), "1");
    EXPECT_EQ(onlineOf("9"), "0");
}

TEST_F(ImServiceTest, NewItemsPushTheirModuleToOnlineUsers) {
    auto liuli = imLogin("liuli");
    auto newcomer = imLogin("yangfan", "Lucky2013");
    adminEvent({{"kind", "notify"}, {"from", "zhaolei"}, {"subject", "体检通知"}});
    EXPECT_EQ(liuli->receive(), std::optional<std::string>("n^notify"));
    EXPECT_EQ(newcomer->receive(), std::optional<std::string>("n^notify"));

    adminEvent({{"kind", "reminder"},
                {"to", "liuli"},
                {"from", "sunyan"},
                {"sms_type", "7"},
                {"content", "请审批"}});
    EXPECT_EQ(liuli->receive(), std::optional<std::string>("n^workflow"));
    // A reminder shown as a page has no module to refresh.
    adminEvent({{"kind", "reminder"},
                {"to", "liuli"},
                {"from", "sunyan"},
                {"sms_type", "3"},
                {"content", "开会"}});
    EXPECT_EQ(liuli->receive(300ms), std::nullopt);
}

TEST_F(ImServiceTest, MalformedDatagramsAreIgnored) {
    UdpPeer peer("127.0.0.1", 0);
    std::mt19937 random(7);
    std::vector<std::string> junk = {"",
                                     "^",
                                     "C",
                                     "C^",
                                     "C^m",
                                     "C^m^s^",
                                     "C^m^s^abc",
                                     "C^n^message^",
                                     "C^n^message^99999999999999999999",
                                     "v^OK",
                                     "n^message",
                                     std::string(9000, '^'),
                                     std::string("C^m^l^\0^\0^", 10)};
    for (int i = 0; i < 50; ++i) {
        std::string bytes(static_cast<std::size_t>(random() % 200), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        junk.push_back(bytes);
    }
    for (const std::string& datagram : junk) {
        peer.send(datagram, kHost, imPort());
    }
    // Only the login attempt with NUL name and password gets an answer, a refusal.
    EXPECT_EQ(peer.receive(), std::optional<std::string>("v^NO"));
    EXPECT_EQ(peer.receive(300ms), std::nullopt);
    // Still serving.
    peer.send("C^m^l^liuli^" + scramble("123456") + "^", kHost, imPort());
    EXPECT_EQ(peer.receive(), std::optional<std::string>("v^OK"));
}

}  // namespace
}  // namespace oa::test

// The core's push channel (UDPListener on a POSIX datagram socket, on a local port the system
// picks) against the demo server's IM service, on a ManualLoop: the login datagram's answer, the
// heartbeat reaching the service, the pushes of new messages and module items, and the port
// left to another client that holds it.
#include <gtest/gtest.h>

#include <chrono>

#include "core/platform/ManualLoop.h"
#include "core/platform/PosixDatagramSocket.h"
#include "core/protocol/HomeBO.h"
#include "core/protocol/MessageBO.h"
#include "core/push/UDPListener.h"
#include "integration/ClientFixture.h"

namespace oa::test {
namespace {

using namespace std::chrono_literals;

struct Push {
    std::string name;
    std::string text;  // the notification's text object, "" without one
};

class PushChannelTest : public ClientServerTest {
protected:
    void configure(ServerOptions& options) override {
        options.verbose = true;  // the service logs every datagram it receives
    }

    void SetUp() override {
        MainLoop::setMain(&loop_);
        UDPListener::resetForTesting();
        UDPListener::setSocketFactory([] { return std::make_unique<PosixDatagramSocket>(); });
        for (const char* name : {UDPListener::kLoginUdpResult, UDPListener::kMessageUdpResult,
                                 UDPListener::kModulesUdpResult}) {
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(
                name, [this](const Notification& note) {
                    EXPECT_TRUE(loop_.isMainThread()) << note.name << " off the main thread";
                    const auto* text = std::any_cast<std::string>(&note.object);
                    pushes_.push_back({note.name, text ? *text : ""});
                }));
        }
        ClientServerTest::SetUp();
    }

    void TearDown() override {
        UDPListener::resetForTesting();
        UDPListener::setSocketFactory(nullptr);
        tokens_.clear();
        ClientServerTest::TearDown();
        MainLoop::setMain(nullptr);
    }

    // Signs in and points the push channel at this server's IM service: a sign-in fixes the
    // port to 1188, where the test's server does not listen (it has a free port).
    bool signInForPush(const std::string& user, const std::string& password = "123456") {
        const bool ok = signIn(user, password).modules.has_value();
        GlobalVar::getInstance_global().setOvix_zqim_port(std::to_string(server_->imPort()));
        return ok;
    }

    // Runs the main loop until a notification of that name arrives; its text, or nothing.
    std::optional<std::string> waitForPush(const std::string& name) {
        const auto start = seen_;
        std::optional<std::string> text;
        loop_.runUntil(
            [&] {
                for (std::size_t i = start; i < pushes_.size(); ++i) {
                    if (pushes_[i].name == name) {
                        text = pushes_[i].text;
                        seen_ = i + 1;
                        return true;
                    }
                }
                return false;
            },
            kWaitLimit);
        return text;
    }

    // Sends the login datagram of the stored record and returns the service's answer.
    std::optional<std::string> loginUdp() {
        LoginBO().loginUdp();
        return waitForPush(UDPListener::kLoginUdpResult);
    }

    PushPortVariable anyPort_;
    ManualLoop loop_;
    LogCapture logs_;
    std::vector<ObserverToken> tokens_;
    std::vector<Push> pushes_;  // Main thread only.
    std::size_t seen_ = 0;
};

struct LoginCase {
    std::string user;
    std::string password;
    std::string answer;
};

void PrintTo(const LoginCase& c, std::ostream* os) {
    *os << c.user << "/" << c.password;
}

class LoginDatagramTest : public PushChannelTest,
                          public ::testing::WithParamInterface<LoginCase> {};

// The login datagram carries the stored record's name and scrambled password; the service
// accepts it only with the right password. 杨帆's password scrambles to a text that starts with
// "^", the field separator.
TEST_P(LoginDatagramTest, ServiceAnswersTheLogin) {
    const auto& c = GetParam();
    signInForPush(c.user, c.password);  // a refused sign-in stores its record all the same
    EXPECT_EQ(loginUdp(), c.answer);
    EXPECT_TRUE(logs_.contains("newip = 127.0.0.3"));
}

INSTANTIATE_TEST_SUITE_P(Records, LoginDatagramTest,
                         ::testing::Values(LoginCase{"zhangwei", "123456", "OK"},
                                           LoginCase{"yangfan", "Lucky2013", "OK"},
                                           LoginCase{"zhangwei", "12345", "NO"},
                                           LoginCase{"nobody", "123456", "NO"}),
                         [](const ::testing::TestParamInfo<LoginCase>& param) {
                             return param.param.user + "_" + param.param.answer;
                         });

std::optional<std::string> onlineOf(const std::string& partner) {
    for (const auto& row : MessageBO().getMessageInfo()) {
        if (row->q_id == partner) {
            return row->online;
        }
    }
    return std::nullopt;
}

TEST_F(PushChannelTest, HeartbeatReachesTheServiceEveryThirtySeconds) {
    ASSERT_TRUE(signInAs("lina"));
    EXPECT_EQ(onlineOf("9"), "0");

    ASSERT_TRUE(signInForPush("zhangwei"));
    ASSERT_EQ(loginUdp(), "OK");
    LoginBO().createHeartbeat();
    LoginBO().createHeartbeat();         // one heartbeat per process
    EXPECT_EQ(loop_.activeTimers(), 2);  // the heartbeat and the next re-announcement

    loop_.advance(29s);
    loop_.advance(1s);
    EXPECT_TRUE(logs_.waitFor("IM <- C^m^s^9"));
    loop_.advance(30s);
    EXPECT_TRUE(logs_.waitFor("IM <- C^m^s^9", 2));

    // His partner sees him online.
    ASSERT_TRUE(signInForPush("lina"));
    EXPECT_EQ(onlineOf("9"), "1");
    // The tick reads the session when it fires: now 李娜's uid.
    loop_.advance(30s);
    EXPECT_TRUE(logs_.waitFor("IM <- C^m^s^10"));
    EXPECT_EQ(logs_.count("IM <- C^m^s^9"), 2u);
}

// 张伟's channel is announced; then 李娜 signs in in the same process and sends him a message,
// which his channel reports, and which his dialog then shows as the newest message.
TEST_F(PushChannelTest, MessageFromAnotherUserArrivesAsMessageUdpResult) {
    ASSERT_TRUE(signInForPush("zhangwei"));
    ASSERT_EQ(loginUdp(), "OK");
    ASSERT_TRUE(signInAs("lina"));
    EXPECT_TRUE(MessageBO().sendSignleMsg("9", "张总，版本今晚发布。"));
    EXPECT_EQ(waitForPush(UDPListener::kMessageUdpResult), "");

    ASSERT_TRUE(signInAs("zhangwei"));
    const auto newest = MessageBO().getSignleMsg("10");
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->content, "张总，版本今晚发布。");
    EXPECT_EQ(newest->q_uid, "10");
    const auto dialog = MessageBO().getMessageDetail("10");
    ASSERT_FALSE(dialog.empty());
    EXPECT_EQ(dialog.front()->content, "张总，版本今晚发布。");
}

TEST_F(PushChannelTest, NoticeRequestAndModulePushes) {
    ASSERT_TRUE(signInForPush("wangjianguo"));
    ASSERT_EQ(loginUdp(), "OK");
    // He has unread messages waiting: the message-notice request says so.
    UDPListener::getInstance_udp().sendMessageNotice();
    EXPECT_EQ(waitForPush(UDPListener::kMessageUdpResult), "");

    const auto before = HomeBO().getHomeTipInfo("INIT");
    adminEvent({{"kind", "email"}, {"to", "wangjianguo"}, {"subject", "报销单已审核"}});
    EXPECT_EQ(waitForPush(UDPListener::kModulesUdpResult), "email");
    // What the main index does on that push: the counters of that module.
    const auto after = HomeBO().getHomeTipInfo("email");
    ASSERT_TRUE(before.count("email") && after.count("email"));
    EXPECT_EQ(std::stoi(after.at("email")), std::stoi(before.at("email")) + 1);

    adminEvent({{"kind", "notify"}, {"subject", "端午节放假安排"}});
    EXPECT_EQ(waitForPush(UDPListener::kModulesUdpResult), "notify");
    adminEvent({{"kind", "message"}, {"to", "wangjianguo"}, {"from", "zhouhong"}});
    EXPECT_EQ(waitForPush(UDPListener::kMessageUdpResult), "");
}

// The demo server stops and starts again on the same database and ports, and its IM service
// has forgotten the signed-in client. The client's next announcement, due within five
// minutes of the last answer, makes it known again: pushes arrive without a new sign-in.
TEST_F(PushChannelTest, PushesArriveAgainAfterTheServiceRestarts) {
    ASSERT_TRUE(signInForPush("zhangwei"));
    ASSERT_EQ(loginUdp(), "OK");

    ServerOptions options;
    options.host = kServerHost;
    options.httpPort = server_->httpPort();
    options.imPort = server_->imPort();
    options.dbPath = (dir_ / "demo.sqlite3").string();
    options.verbose = true;
    endConnectionsTo(kServerHost, server_->httpPort());
    server_.reset();
    server_ = std::make_unique<DemoServer>(options);
    std::string error;
    ASSERT_TRUE(server_->start(&error)) << error;

    loop_.advance(UDPListener::kReannounceEvery);
    EXPECT_EQ(waitForPush(UDPListener::kLoginUdpResult), "OK");
    adminEvent({{"kind", "message"}, {"to", "zhangwei"}, {"from", "zhouhong"}});
    EXPECT_EQ(waitForPush(UDPListener::kMessageUdpResult), "");
}

// Another client of this machine holds the local port. The listener does not share it (that
// client would lose the answers and pushes meant for it), says why, and still sends; once the
// port is free, a new listener binds it and gets its answers there.
TEST_F(PushChannelTest, ListenerLeavesThePortToTheClientThatHoldsIt) {
    auto otherClient = std::make_unique<PosixDatagramSocket>();
    ASSERT_EQ(otherClient->bind(0), std::nullopt);
    const std::string port = std::to_string(otherClient->localPort());
    PushPortVariable samePort(port);
    ASSERT_TRUE(signInForPush("zhangwei"));

    auto& refused = UDPListener::getInstance_udp();
    const std::string held = "local port " + port + " is held by another client";
    EXPECT_EQ(refused.bindError(), held);
    EXPECT_TRUE(logs_.contains("Error binding: " + held));
    LoginBO().loginUdp();
    EXPECT_TRUE(logs_.waitFor("IM <- C^m^l^zhangwei^"));

    UDPListener::resetForTesting();
    otherClient.reset();
    auto& listener = UDPListener::getInstance_udp();
    EXPECT_EQ(listener.bindError(), std::nullopt);
    EXPECT_EQ(std::to_string(listener.udpSocket().localPort()), port);
    EXPECT_EQ(loginUdp(), "OK");
}

// An IM service on this machine holds the client's port on its own address (as the demo server
// does on 127.0.0.3): the port is still the client's on the address that reaches the service,
// and the answer arrives there.
TEST_F(PushChannelTest, PortIsTakenBesideAServiceOnAnotherAddress) {
    PushPortVariable servicePort(std::to_string(server_->imPort()));
    ASSERT_TRUE(signInForPush("zhangwei"));
    auto& listener = UDPListener::getInstance_udp();
    EXPECT_TRUE(listener.bindError().has_value());
    EXPECT_EQ(loginUdp(), "OK");
    EXPECT_EQ(listener.bindError(), std::nullopt);
    EXPECT_EQ(listener.udpSocket().localPort(), server_->imPort());
    EXPECT_TRUE(logs_.contains("bound on 127.0.0.1"));
}

}  // namespace
}  // namespace oa::test

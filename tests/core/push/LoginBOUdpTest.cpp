// The login datagram with its scrambled password, and the one heartbeat of the process.
#include <gmock/gmock.h>

#include "PushFixture.h"
#include "core/session/LoginBO.h"
#include "core/session/PlistManager.h"
#include "support/TempHome.h"

using namespace std::chrono_literals;

namespace oa::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kKey[] = "QXVL7305";

TEST(EncryptStringTest, KnownVectors) {
    const LoginBO bo;
    // With this key the even positions are XORed with 0x12 and the odd ones with 0x00.
    EXPECT_EQ(bo.EncryptString("abcd", kKey), "sbqd");
    EXPECT_EQ(bo.EncryptString("123456", kKey), "#2!4'6");
    EXPECT_EQ(bo.EncryptString("L", kKey), "^");  // a "^" goes into the datagram as it is
    EXPECT_EQ(bo.EncryptString("", kKey), "");
    // Odd positions take every second key byte, up to the last one: k[0] and k[2] of "abc".
    EXPECT_EQ(bo.EncryptString("AAA", "abc"), "!C!");
    EXPECT_EQ(bo.EncryptString("AA", "ab"), "B ");
    EXPECT_EQ(bo.EncryptString("secret", ""), "secret");
}

TEST(EncryptStringTest, KeepsLengthStaysAsciiAndUndoesItself) {
    const LoginBO bo;
    std::string password;
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE(password);
        const std::string scrambled = bo.EncryptString(password, kKey);
        EXPECT_EQ(scrambled.size(), password.size());
        for (char c : scrambled) {
            EXPECT_LT(static_cast<unsigned char>(c), 0x80);
        }
        EXPECT_EQ(bo.EncryptString(scrambled, kKey), password);
        password.push_back(static_cast<char>(' ' + (n * 7) % 95));
    }
}

TEST(EncryptStringTest, NonAsciiPasswordIsScrambledAsUtf8Bytes) {
    const LoginBO bo;
    const std::string password = "\xe5\xaf\x86\xe7\xa0\x81x";  // two CJK characters and "x"
    const std::string scrambled = bo.EncryptString(password, kKey);
    ASSERT_EQ(scrambled.size(), 7u);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[0]), 0xe5 ^ 0x12);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[1]), 0xaf);
    EXPECT_EQ(bo.EncryptString(scrambled, kKey), password);
}

class LoginBOUdpTest : public PushFixture {
protected:
    // What a successful sign-in leaves behind: the stored record and the session.
    void signIn(const std::string& name, const std::string& password, const std::string& uid) {
        LoginVO record;
        record.name = name;
        record.pwd = password;
        record.oa = "http://192.168.1.20:8080";
        ASSERT_TRUE(PlistManager().setLoginInfo(record));
        signedIn(uid);
    }

    // The sign-in screen's reaction to the server's answer.
    void startHeartbeatOnAcceptedAnswer() {
        observers.push_back(NotificationCenter::defaultCenter().addObserver(
            UDPListener::kLoginUdpResult, [](const Notification& note) {
                const auto* result = std::any_cast<std::string>(&note.object);
                if (!result || *result != "NO") {
                    LoginBO().createHeartbeat();
                }
            }));
    }

    TempHome home;
};

TEST_F(LoginBOUdpTest, LoginDatagramCarriesStoredNameAndScrambledPassword) {
    signIn("alice", "abcd", "42");
    LoginBO().loginUdp();
    UDPListener::getInstance_udp().sendMessageNotice();
    EXPECT_THAT(fake().sent(),
                ElementsAre(FakeDatagramSocket::Sent{"192.168.1.20", 1188, "C^m^l^alice^sbqd^"},
                            FakeDatagramSocket::Sent{"192.168.1.20", 1188, "C^n^message^42"}));
    EXPECT_THAT(fake().binds(), ElementsAre("*:1188"));
}

TEST_F(LoginBOUdpTest, EmptyPasswordGivesDatagramEndingInTwoCarets) {
    signIn("bob", "", "7");
    LoginBO().loginUdp();
    EXPECT_THAT(fake().sentTexts(), ElementsAre("C^m^l^bob^^"));
}

TEST_F(LoginBOUdpTest, HeartbeatStartsThirtySecondsAfterAcceptedAnswer) {
    signIn("alice", "abcd", "42");
    startHeartbeatOnAcceptedAnswer();
    LoginBO().loginUdp();
    fake().clearSent();

    fake().inject("v^OK");
    loop.advance(29s);
    EXPECT_THAT(fake().sentTexts(), IsEmpty());
    loop.advance(1s);
    EXPECT_THAT(fake().sentTexts(), ElementsAre("C^m^s^42"));
    loop.advance(60s);
    EXPECT_THAT(fake().sentTexts(), ElementsAre("C^m^s^42", "C^m^s^42", "C^m^s^42"));
}

TEST_F(LoginBOUdpTest, EveryAnswerButNoStartsTheHeartbeat) {
    startHeartbeatOnAcceptedAnswer();
    for (const std::string answer : {"v^OK", "v^1", "v^", "v^no", "v", "v^NO"}) {
        SCOPED_TRACE(answer);
        UDPListener::resetForTesting();
        signedIn("42");
        serviceKnown();
        fake().inject(answer);
        loop.advance(30s);
        const bool refused = answer == "v^NO";
        EXPECT_EQ(fake().sentTexts().size(), refused ? 0u : 1u);
        EXPECT_EQ(loop.activeTimers(), refused ? 0 : 1);
    }
}

TEST_F(LoginBOUdpTest, TwoSignInsKeepOneHeartbeatThatSendsTheCurrentUid) {
    signIn("alice", "abcd", "42");
    startHeartbeatOnAcceptedAnswer();
    serviceKnown();
    fake().inject("v^OK");
    loop.advance(30s);

    signIn("carol", "pw", "43");
    LoginBO().loginUdp();
    fake().inject("v^OK");
    loop.advance(5s);
    fake().clearSent();
    loop.advance(90s);                  // ticks at 60, 90 and 120 s
    EXPECT_EQ(loop.activeTimers(), 2);  // the heartbeat and the next re-announcement
    EXPECT_THAT(fake().sentTexts(), ElementsAre("C^m^s^43", "C^m^s^43", "C^m^s^43"));

    GlobalVar::getInstance_global().setUid("44");
    loop.advance(30s);
    EXPECT_EQ(fake().sentTexts().back(), "C^m^s^44");
}

TEST_F(LoginBOUdpTest, RefusalAfterAcceptanceDoesNotStopTheHeartbeat) {
    signedIn("42");
    startHeartbeatOnAcceptedAnswer();
    serviceKnown();
    fake().inject("v^OK");
    fake().inject("v^NO");
    loop.advance(60s);
    EXPECT_THAT(fake().sentTexts(), ElementsAre("C^m^s^42", "C^m^s^42"));
}

TEST_F(LoginBOUdpTest, TickWithoutUidSendsNothing) {
    signedIn("42");
    LoginBO().createHeartbeat();
    GlobalVar::getInstance_global().setUid(std::nullopt);
    loop.advance(30s);
    EXPECT_THAT(fake().sentTexts(), IsEmpty());
    GlobalVar::getInstance_global().setUid("9");
    loop.advance(30s);
    EXPECT_THAT(fake().sentTexts(), ElementsAre("C^m^s^9"));
}

}  // namespace
}  // namespace oa::test

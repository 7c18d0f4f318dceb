// The push channel's own repair on the virtual clock: the login datagram repeated until the IM
// service answers, the re-announcement while signed in, the channel's state, and the self-test.
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

constexpr char kLogin[] = "C^m^l^alice^sbqd^";

class PushHealingTest : public PushFixture {
protected:
    void SetUp() override {
        PushFixture::SetUp();
        LoginVO record;
        record.name = "alice";
        record.pwd = "abcd";
        record.oa = "http://192.168.1.20:8080";
        ASSERT_TRUE(PlistManager().setLoginInfo(record));
        signedIn("42");
        // The sign-in screen's reaction to an accepted answer.
        observers.push_back(NotificationCenter::defaultCenter().addObserver(
            UDPListener::kLoginUdpResult, [](const Notification& note) {
                const auto* result = std::any_cast<std::string>(&note.object);
                if (!result || *result != "NO") {
                    LoginBO().createHeartbeat();
                }
            }));
    }

    // Virtual seconds at which a login datagram went out, from the start of the test.
    std::vector<long> loginTimes() const { return loginTimes_; }

    // Moves the clock a second at a time, noting when login datagrams leave.
    void run(std::chrono::seconds span) {
        for (auto left = span; left > 0s; left -= 1s) {
            loop.advance(1s);
            noteLogins();
        }
    }

    void noteLogins() {
        const auto texts = fake().sentTexts();
        for (; counted_ < texts.size(); ++counted_) {
            if (texts[counted_] == kLogin) {
                loginTimes_.push_back(static_cast<long>(
                    std::chrono::duration_cast<std::chrono::seconds>(loop.now()).count()));
            }
        }
    }

    std::size_t heartbeatsSent() const {
        std::size_t n = 0;
        for (const auto& text : fakeSocket->sentTexts()) {
            n += text.rfind("C^m^s^", 0) == 0 ? 1 : 0;
        }
        return n;
    }

    TempHome home;
    std::vector<long> loginTimes_;
    std::size_t counted_ = 0;
};

TEST_F(PushHealingTest, UnansweredLoginIsRepeatedOnTheScheduleUntilTheAnswer) {
    LoginBO().loginUdp();
    noteLogins();
    run(300s);
    // After 2, 4, 8, 16 and 32 seconds, then every minute.
    EXPECT_THAT(loginTimes(), ElementsAre(0, 2, 6, 14, 30, 62, 122, 182, 242));
    EXPECT_EQ(heartbeatsSent(), 0u);

    fake().inject("v^OK");
    run(240s);
    EXPECT_EQ(loginTimes().size(), 9u) << "an answer stops the repeats";
    EXPECT_EQ(heartbeatsSent(), 8u);  // the heartbeat runs from the answer on
}

TEST_F(PushHealingTest, AnsweredLoginIsRepeatedEveryFiveMinutesWithOneHeartbeat) {
    LoginBO().loginUdp();
    noteLogins();
    fake().inject("v^OK");
    run(1s);
    for (int announcement = 1; announcement <= 3; ++announcement) {
        run(299s);
        fake().inject("v^OK");  // each re-announcement is answered
        run(1s);
    }
    EXPECT_THAT(loginTimes(), ElementsAre(0, 300, 600, 900));
    // Four answers, one heartbeat: one tick every 30 s since the first answer at 1 s.
    EXPECT_EQ(heartbeatsSent(), 30u);
}

// The service restarts and forgets the client: the re-announcement goes unanswered, so the
// retry schedule starts over from it, and an answer ends it again.
TEST_F(PushHealingTest, UnansweredReannouncementFallsBackToTheRetrySchedule) {
    LoginBO().loginUdp();
    noteLogins();
    fake().inject("v^OK");
    run(302s);
    run(14s);
    EXPECT_THAT(loginTimes(), ElementsAre(0, 300, 302, 306, 314));
    fake().inject("v^OK");
    run(299s);
    EXPECT_EQ(loginTimes().size(), 5u);
    run(1s);
    EXPECT_EQ(loginTimes().back(), 616);
}

TEST_F(PushHealingTest, SignOutStopsTheAnnouncementsButNotTheHeartbeat) {
    LoginBO().loginUdp();
    noteLogins();
    run(2s);
    fake().inject("v^OK");
    run(1s);
    LoginBO().logoutUdp();
    run(600s);
    EXPECT_THAT(loginTimes(), ElementsAre(0, 2));
    EXPECT_EQ(heartbeatsSent(), 20u);

    // Signing out while the login is still unanswered stops the repeats as well.
    LoginBO().loginUdp();
    LoginBO().logoutUdp();
    fake().clearSent();
    run(300s);
    EXPECT_EQ(heartbeatsSent(), fake().sentTexts().size());
}

TEST_F(PushHealingTest, SignOutWithoutListenerCreatesNone) {
    LoginBO().logoutUdp();
    EXPECT_EQ(UDPListener::existingInstance(), nullptr);
    EXPECT_EQ(fakeSocket, nullptr);
}

TEST_F(PushHealingTest, ChannelIsUpForSixMinutesAfterTheLastDatagram) {
    auto& listener = UDPListener::getInstance_udp();
    serviceKnown();
    EXPECT_FALSE(listener.isChannelUp());
    EXPECT_EQ(listener.lastDatagramAt(), std::nullopt);

    loop.advance(10s);
    fake().inject("n^email");  // any datagram from the server counts
    loop.runPending();
    EXPECT_EQ(listener.lastDatagramAt(), 10s);
    EXPECT_TRUE(listener.isChannelUp());
    loop.advance(6min - 1s);
    EXPECT_TRUE(listener.isChannelUp());
    loop.advance(1s);
    EXPECT_FALSE(listener.isChannelUp());

    fake().inject("v^OK");
    loop.runPending();
    EXPECT_TRUE(listener.isChannelUp());
}

TEST_F(PushHealingTest, SelfTestPassesOnTheAnswerAndFailsAfterFiveSeconds) {
    std::vector<bool> results;
    LoginBO().pushSelfTest([&](bool ok) { results.push_back(ok); });
    EXPECT_THAT(fake().sentTexts(), ElementsAre(kLogin));
    loop.advance(4s);
    EXPECT_THAT(results, IsEmpty());
    fake().inject("v^OK");
    loop.runPending();
    EXPECT_THAT(results, ElementsAre(true));
    loop.advance(10s);
    EXPECT_THAT(results, ElementsAre(true)) << "the deadline of a finished test does not fire";

    // No answer: the test fails at five seconds, and a late answer changes nothing.
    LoginBO().pushSelfTest([&](bool ok) { results.push_back(ok); });
    loop.advance(4s);
    EXPECT_THAT(results, ElementsAre(true));
    loop.advance(1s);
    EXPECT_THAT(results, ElementsAre(true, false));
    fake().inject("v^OK");
    loop.runPending();
    EXPECT_THAT(results, ElementsAre(true, false));
}

TEST_F(PushHealingTest, OverlappingSelfTestsShareTheFirstDeadline) {
    std::vector<std::string> results;
    LoginBO().pushSelfTest([&](bool ok) { results.push_back(ok ? "a ok" : "a failed"); });
    loop.advance(3s);
    LoginBO().pushSelfTest([&](bool ok) { results.push_back(ok ? "b ok" : "b failed"); });
    loop.advance(2s);
    EXPECT_THAT(results, ElementsAre("a failed", "b failed"));
    EXPECT_EQ(loop.activeTimers(), 0);
}

TEST_F(PushHealingTest, ListenerGoneCancelsItsTimers) {
    LoginBO().loginUdp();
    LoginBO().pushSelfTest([](bool) { FAIL() << "a test of a destroyed listener reported"; });
    EXPECT_GT(loop.activeTimers(), 0);
    UDPListener::resetForTesting();
    EXPECT_EQ(loop.activeTimers(), 0);
    loop.advance(10min);
}

}  // namespace
}  // namespace oa::test

// oa-cli listen beside another client of this machine: while one holds local port 1188, a second
// exits 1 at once with the reason, and the first keeps its answers; once the port is free again,
// listening works. The demo server's IM service shares the port on its own address throughout.
#include <gtest/gtest.h>

#include "integration/ClientFixture.h"
#include "integration/Subprocess.h"

namespace oa::test {
namespace {

class ListenPortTest : public ClientServerTest {
protected:
    void configure(ServerOptions& options) override { options.imPort = 1188; }

    std::vector<std::string> listen(const std::string& user, int seconds) const {
        return {OA_CLI_PATH,  "listen",
                "--seconds",  std::to_string(seconds),
                "--home",     (home_.path() / user).string(),
                "--server",   serverUrl(),
                "--user",     user,
                "--password", "123456"};
    }

    Port1188Lock portLock_;
};

TEST_F(ListenPortTest, SecondListenerExitsWhileTheFirstHoldsThePort) {
    Subprocess first(listen("zhangwei", 300));
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(first.waitForLine("loginUdpResult OK", kWaitLimit * 2)) << first.err();

    Subprocess second(listen("lina", 5));
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.wait(kWaitLimit), 1);
    EXPECT_NE(second.err().find("local port 1188 is held by another client"), std::string::npos)
        << second.err();
    EXPECT_EQ(second.out(), "");

    // The first still gets what is pushed to it.
    adminEvent({{"kind", "email"}, {"to", "zhangwei"}, {"subject", "周例会改到周四"}});
    EXPECT_TRUE(first.waitForLine("modulesUdpResult email", kWaitLimit)) << first.out();
    first.terminate();

    Subprocess third(listen("lina", 3));
    ASSERT_TRUE(third.started());
    EXPECT_EQ(third.wait(kWaitLimit * 2), 0) << third.err();
    EXPECT_EQ(third.out().rfind("loginUdpResult OK\n", 0), 0u) << third.out();
}

}  // namespace
}  // namespace oa::test

// oa-cli listen beside another program of this machine that holds its local port: it exits 1 at
// once with the reason, and listens once the port is free again.
#include <gtest/gtest.h>

#include "core/platform/PosixDatagramSocket.h"
#include "integration/ClientFixture.h"
#include "integration/Subprocess.h"

namespace oa::test {
namespace {

class ListenPortTest : public ClientServerTest {
protected:
    std::vector<std::string> listen(const std::string& user, int seconds) const {
        return {OA_CLI_PATH,  "listen",
                "--seconds",  std::to_string(seconds),
                "--im-port",  std::to_string(server_->imPort()),
                "--home",     (home_.path() / user).string(),
                "--server",   serverUrl(),
                "--user",     user,
                "--password", "123456"};
    }
};

TEST_F(ListenPortTest, ListenerExitsWhileAnotherHoldsThePort) {
    auto holder = std::make_unique<PosixDatagramSocket>();
    ASSERT_EQ(holder->bind(0), std::nullopt);
    const std::string port = std::to_string(holder->localPort());
    PushPortVariable samePort(port);

    Subprocess second(listen("lina", 5));
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.wait(kWaitLimit), 1);
    EXPECT_NE(second.err().find("local port " + port + " is held by another client"),
              std::string::npos)
        << second.err();
    EXPECT_EQ(second.out(), "");

    holder.reset();
    Subprocess third(listen("lina", 3));
    ASSERT_TRUE(third.started());
    EXPECT_EQ(third.wait(kWaitLimit * 2), 0) << third.err();
    EXPECT_EQ(third.out().rfind("loginUdpResult OK\n", 0), 0u) << third.out();
}

}  // namespace
}  // namespace oa::test

// oa-cli trust against the demo server over TLS: add asks before trusting, the home's sign-in
// then works through the pin, and remove takes the trust back.
#include "integration/cli/CliRun.h"
#include "integration/trust/TlsFixture.h"

namespace oa::test {
namespace {

using TrustCliTest = TlsServerTest;

// oa-cli with `answer` on its standard input.
CliRun runCliAnswering(const std::string& answer, const std::vector<std::string>& args) {
    std::string command = "printf '%s\\n' '" + answer + "' | '" + std::string(OA_CLI_PATH) + "'";
    for (const auto& arg : args) {
        command += " '" + arg + "'";
    }
    Subprocess process({"/bin/sh", "-c", command});
    return finish(process);
}

TEST_F(TrustCliTest, AddListSignInRemoveRoundTrip) {
    const std::string home = home_.path().string();
    const std::string fingerprint = fingerprintOf(identity_);
    const std::vector<std::string> login = {"login",    "--home",     home,
                                            "--server", httpsUrl(),   "--user",
                                            "zhangwei", "--password", "123456"};

    const CliRun refused = runCli(login);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("服务器证书不受信任"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(fingerprint), std::string::npos) << refused.err;

    const CliRun declined = runCliAnswering("no", {"trust", "--home", home, "add", hostPort()});
    EXPECT_EQ(declined.exitCode, 1) << declined.out << declined.err;
    EXPECT_NE(declined.out.find(fingerprint), std::string::npos) << declined.out;
    EXPECT_FALSE(TrustPlist().find(hostPort()));

    const CliRun accepted = runCliAnswering("yes", {"trust", "--home", home, "add", hostPort()});
    EXPECT_EQ(accepted.exitCode, 0) << accepted.out << accepted.err;
    ASSERT_TRUE(TrustPlist().find(hostPort()));
    EXPECT_EQ(TrustPlist().find(hostPort())->fingerprint(), fingerprint);

    const CliRun listed = runCli({"trust", "--home", home, "list"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_NE(listed.out.find(hostPort()), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find(fingerprint), std::string::npos) << listed.out;

    const CliRun signedIn = runCli(login);
    EXPECT_EQ(signedIn.exitCode, 0) << signedIn.err;

    const CliRun removed = runCli({"trust", "--home", home, "remove", hostPort()});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_FALSE(TrustPlist().find(hostPort()));
    EXPECT_EQ(runCli({"trust", "--home", home, "remove", hostPort()}).exitCode, 1);
    EXPECT_EQ(runCli(login).exitCode, 1);
}

TEST_F(TrustCliTest, AddWithYesTrustsWithoutAskingAndRefusesWhatIsNoHostAndPort) {
    const std::string home = home_.path().string();
    const CliRun added = runCli({"trust", "--home", home, "add", hostPort(), "--yes"});
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_TRUE(TrustPlist().find(hostPort()));
    for (const std::string& bad :
         {"https://" + hostPort(), std::string(kTlsHost), hostPort() + "/x"}) {
        const CliRun refused = runCli({"trust", "--home", home, "add", bad, "--yes"});
        EXPECT_EQ(refused.exitCode, 1) << bad;
    }
    EXPECT_EQ(TrustPlist().list().size(), 1u);
}

}  // namespace
}  // namespace oa::test

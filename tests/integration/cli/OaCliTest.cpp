// oa-cli as a black box against the demo server: sign-in, the e-mail list, and "listen"
// reporting the login answer and the pushes that follow a message and a new e-mail. The IM
// service and the listener use ports the system picks, as 1188 may be another client's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "core/protocol/EmailBO.h"
#include "core/protocol/MessageBO.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "integration/ClientFixture.h"
#include "integration/RecordFields.h"
#include "integration/Subprocess.h"
#include "integration/cli/CliRun.h"

namespace oa::test {
namespace {

class OaCliTest : public ClientServerTest {
protected:
    PushPortVariable anyPort_;

    std::string imPort() const { return std::to_string(server_->imPort()); }

    std::string cliHome(const std::string& name) const { return (home_.path() / name).string(); }

    std::vector<std::string> command(std::vector<std::string> args) const {
        return cliCommand(std::move(args));
    }

    CliRun run(std::vector<std::string> args) const {
        Subprocess process(command(std::move(args)));
        EXPECT_TRUE(process.started());
        return finish(process);
    }
};

TEST_F(OaCliTest, LoginAndListShowTheSeedMail) {
    const std::string home = cliHome("wangjianguo");
    const auto login = run({"login", "--home", home, "--server", serverUrl(), "--user",
                            "wangjianguo", "--password", "123456"});
    ASSERT_EQ(login.exitCode, 0) << login.err;
    const auto lines = linesOf(login.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0],
              "modules: email notify news workflow calendar diary file_folder public_folder "
              "address tel_no user weather");
    for (const char* expected : {"oa = ", "uid = 1", "login_user_name = 王建国",
                                 "app_title = 青禾协同办公", "ovix_zqim_port = 1188"}) {
        EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                               [&](const std::string& l) { return l.rfind(expected, 0) == 0; }),
                  lines.end())
            << expected << " missing in\n"
            << login.out;
    }

    // The stored record signs in again; the page is the one the core shows in-process.
    const auto list = run({"list", "email", "--home", home});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    ASSERT_TRUE(signInAs("wangjianguo"));
    auto email = ModuleLogicFactory::createListLogic("email");
    const auto page = email->getList();
    ASSERT_TRUE(page);
    const auto printed = linesOf(list.out);
    ASSERT_EQ(printed.size(), page->size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const auto item = nlohmann::json::parse(printed[i], nullptr, false);
        ASSERT_TRUE(item.is_object()) << printed[i];
        EXPECT_EQ(item.value("q_id", ""), (*page)[i]->q_id.value_or("?"));
        EXPECT_EQ(item.value("subject", ""), subjectOf((*page)[i]).value_or("?"));
    }
    // A fresh oa-cli has seen no list before, so its newest id is the newest of this page; the
    // in-process one may have risen higher in earlier tests of this program.
    long long newest = 0;
    for (const auto& record : *page) {
        newest = std::max(newest, std::stoll(record->q_id.value_or("0")));
    }
    EXPECT_NE(list.err.find("10 items; firstID " + std::to_string(newest)), std::string::npos)
        << list.err;

    // The sign-in's diagnostic line (the IM port the page reported) only with --verbose.
    EXPECT_EQ(list.err.find("23333232323"), std::string::npos) << list.err;
    const auto older = run({"list", "email", "--more", "20", "--verbose", "--home", home});
    ASSERT_EQ(older.exitCode, 0) << older.err;
    EXPECT_EQ(linesOf(older.out).size(), 3u);
    EXPECT_NE(older.err.find("23333232323"), std::string::npos) << older.err;

    const auto refused = run({"login", "--home", home, "--password", "654321"});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.err.find(" [用户名]或[密码] 填写错误！"), std::string::npos) << refused.err;
}

TEST_F(OaCliTest, ListenReportsTheLoginAndThePushes) {
    // 杨帆 has no unread message, so the only message notice can be the one sent below.
    ASSERT_TRUE(signInAs("yangfan", "Lucky2013"));
    ASSERT_EQ(MessageBO().getSignleMsg(""), nullptr);

    const std::string home = cliHome("yangfan");
    Subprocess listen(
        command({"listen", "--seconds", "300", "--im-port", imPort(), "--home", home, "--server",
                 serverUrl(), "--user", "yangfan", "--password", "Lucky2013"}));
    ASSERT_TRUE(listen.started());
    ASSERT_TRUE(listen.waitForLine("loginUdpResult OK", kWaitLimit * 2))
        << listen.out() << listen.err();

    ASSERT_TRUE(signInAs("zhangwei"));
    EXPECT_TRUE(MessageBO().sendSignleMsg("12", "欢迎加入研发部！"));
    EXPECT_TRUE(listen.waitForLine("messageUdpResult", kWaitLimit)) << listen.out();
    adminEvent({{"kind", "email"}, {"to", "yangfan"}, {"subject", "入职培训安排"}});
    EXPECT_TRUE(listen.waitForLine("modulesUdpResult email", kWaitLimit)) << listen.out();
    listen.terminate();

    const auto dialog = run({"dialog", "9", "--home", home});
    ASSERT_EQ(dialog.exitCode, 0) << dialog.err;
    EXPECT_NE(dialog.out.find("欢迎加入研发部！"), std::string::npos) << dialog.out;
}

// Given a time, listen ends by itself, cleanly.
TEST_F(OaCliTest, ListenEndsAfterItsSeconds) {
    const auto listen =
        run({"listen", "--seconds", "5", "--im-port", imPort(), "--home", cliHome("lina"),
             "--server", serverUrl(), "--user", "lina", "--password", "123456"});
    EXPECT_EQ(listen.exitCode, 0) << listen.err;
    EXPECT_EQ(linesOf(listen.out).at(0), "loginUdpResult OK") << listen.out;
}

}  // namespace
}  // namespace oa::test

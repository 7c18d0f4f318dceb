// oa-cli as a black box when the exchange with the server fails: against a loopback server that
// signs in and then answers every page with an error status, with nothing at all, or with an
// empty page; and against the demo server, which refuses a message over its length limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "integration/ClientFixture.h"
#include "integration/cli/CliRun.h"
#include "support/HttpTestServer.h"

namespace oa::test {
namespace {

namespace fs = std::filesystem;

// One oa-cli command and the pages it asks for after signing in.
struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<const char*> pages;
};

class FailedExchange : public ::testing::Test {
protected:
    void SetUp() override {
        server.setReply("/mobile/login.php", {200,
                                              {{"Content-Type", "text/html; charset=utf-8"}},
                                              R"({"status":"YES","uid":"12","session_id":"sid-1",)"
                                              R"("login_func_str":"email,file_folder"})"});
        std::ofstream(voiceFile(), std::ios::binary) << "#!AMR\n" << std::string(32, '\x3c');
        std::ofstream(pictureFile(), std::ios::binary) << "\x89PNG\r\n\x1a\n";
    }

    std::string voiceFile() const { return (home.path() / "R_5_1.amr").string(); }
    std::string pictureFile() const { return (home.path() / "uploadedfile0.png").string(); }

    // Every command of oa-cli that asks the server for something after signing in.
    std::vector<CommandCase> commands() const {
        return {
            {"list", {"list", "email"}, {"/mobile/email/data.php"}},
            {"detail", {"detail", "email", "7"}, {"/mobile/email/data.php"}},
            {"folder", {"folder", "file_folder", "3"}, {"/mobile/file_folder/data.php"}},
            {"counters", {"counters"}, {"/mobile/services_count.php"}},
            {"sms", {"sms"}, {"/mobile/sms/data.php"}},
            {"sms --read", {"sms", "--read", "5"}, {"/mobile/sms/data.php"}},
            {"messages", {"messages"}, {"/mobile/message/data.php"}},
            {"dialog", {"dialog", "9"}, {"/mobile/message/data.php"}},
            {"send", {"send", "9", "你好"}, {"/mobile/message/data.php"}},
            {"send --voice",
             {"send", "--voice", "3", "9", voiceFile()},
             {"/corvane/im/upload.php"}},
            {"save-diary", {"save-diary", pictureFile()}, {"/mobile/diary/submit.php"}},
            {"send-email",
             {"send-email", "--to", "li", pictureFile()},
             {"/mobile/email/submit.php"}},
            {"save-calendar", {"save-calendar"}, {"/mobile/calendar/submit.php"}},
            {"send-all", {"send-all", "9,10", "你好"}, {"/mobile/message/data.php"}},
            {"users", {"users", "王"}, {"/mobile/inc/get_contactlist.php"}},
            {"user", {"user", "11"}, {"/mobile/user_info/data.php"}},
            {"address", {"address", "--name", "黄"}, {"/mobile/address/data.php"}},
            {"contact", {"contact", "1"}, {"/mobile/address/data.php"}},
            {"telno", {"telno", "--city", "杭州"}, {"/mobile/tel_no/data.php"}},
            {"weather", {"weather", "北京"}, {"/mobile/weather/data.php"}},
        };
    }

    // The command line of a case, signing in to the loopback server with a home of its own.
    std::vector<std::string> commandLine(const CommandCase& c, int index) const {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--home", (home.path() / std::to_string(index)).string(),
                                 "--server", server.url(""), "--user", "zhang", "--password", "1"});
        return cliCommand(args);
    }

    // Runs every command at once and hands each result to `check`.
    template <class Check>
    void runAll(Check check) {
        const auto cases = commands();
        std::vector<std::unique_ptr<Subprocess>> running;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            running.push_back(
                std::make_unique<Subprocess>(commandLine(cases[i], static_cast<int>(i))));
            ASSERT_TRUE(running.back()->started());
        }
        for (std::size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(cases[i].name);
            check(cases[i], finish(*running[i]));
        }
    }

    void answerEveryPage(const CannedReply& reply) {
        for (const auto& c : commands()) {
            for (const char* page : c.pages) {
                server.setReply(page, reply);
            }
        }
    }

    TempHome home;
    HttpTestServer server;
};

TEST_F(FailedExchange, StatusOutside200To299FailsEveryCommandWithTheServersReason) {
    answerEveryPage({500, {{"Content-Type", "text/plain; charset=utf-8"}}, "ERROR: 数据库不可用"});
    runAll([&](const CommandCase& c, const CliRun& run) {
        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("oa-cli: " + c.args[0] + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(server.url(c.pages.front()) +
                               ": the server answered HTTP 500: ERROR: 数据库不可用"),
                  std::string::npos)
            << run.err;
    });
}

TEST_F(FailedExchange, SilenceFailsEveryCommandAfterTheTimeOut) {
    for (const auto& c : commands()) {
        for (const char* page : c.pages) {
            server.setHandler(page, [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
                ex.holdUntilClosed();
            });
        }
    }
    runAll([&](const CommandCase& c, const CliRun& run) {
        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(server.url(c.pages.front()) + ": The request timed out"),
                  std::string::npos)
            << run.err;
    });
}

TEST_F(FailedExchange, EmptyPagesAreNoFailure) {
    answerEveryPage({200, {{"Content-Type", "text/html; charset=utf-8"}}, ""});
    server.setReply("/mobile/email/data.php", {200, {}, "NOMOREDATA"});
    runAll([&](const CommandCase& c, const CliRun& run) {
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string command = c.args[0];
        const bool sends = command == "send" || command == "send-email" || command == "send-all";
        const bool saves = command.rfind("save-", 0) == 0;
        const bool detail = command == "detail" || command == "user" || command == "contact";
        EXPECT_EQ(run.out, sends ? "sent\n" : saves ? "saved\n" : detail ? "{}\n" : "");
    });
}

// The raw request of oa-cli http prints the error page, and fails.
TEST_F(FailedExchange, HttpPrintsAnErrorPageAndFails) {
    server.setReply("/gone", {404, {{"Content-Type", "text/plain"}}, "ERROR: no such page"});
    server.setReply("/here", {200, {{"Content-Type", "text/plain"}}, "fine"});
    const auto gone = runCli({"http", server.url("/gone")});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_EQ(gone.out, "ERROR: no such page");
    EXPECT_NE(gone.err.find("HTTP 404"), std::string::npos) << gone.err;
    const auto here = runCli({"http", server.url("/here")});
    EXPECT_EQ(here.exitCode, 0) << here.err;
    EXPECT_EQ(here.out, "fine");
}

// oa-cli http --output saves a successful reply whole, and leaves no file for a failed one.
TEST_F(FailedExchange, HttpOutputSavesOnlyAWholeSuccessfulReply) {
    std::string picture;
    for (int i = 0; i < 200000; ++i) {
        picture.push_back(static_cast<char>((i * 7919) % 251));
    }
    server.setReply("/photo.png", {200, {{"Content-Type", "image/png"}}, picture});
    server.setReply("/gone", {404, {{"Content-Type", "text/plain"}}, "ERROR: no such file"});
    server.setHandler(
        "/cut", HttpTestServer::rawThenClose("HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" +
                                             picture.substr(0, 100000)));
    const fs::path dir = home.path() / "downloads";
    fs::create_directories(dir);
    const fs::path file = dir / "photo.png";

    const auto saved =
        runCli({"http", "--get", server.url("/photo.png"), "--output", file.string()});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), picture);
    fs::remove(file);

    const auto gone = runCli({"http", "--get", server.url("/gone"), "--output", file.string()});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_EQ(gone.out, "ERROR: no such file");
    EXPECT_NE(gone.err.find("HTTP 404"), std::string::npos) << gone.err;

    const auto cut = runCli({"http", "--get", server.url("/cut"), "--output", file.string()});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.err.find("A connection failure occurred"), std::string::npos) << cut.err;
    EXPECT_TRUE(fs::is_empty(dir));
}

// The demo server stores nothing of a message over its length limit and answers 413.
class RefusedMessage : public ClientServerTest {};

TEST_F(RefusedMessage, SendFailsAndTheDialogLacksIt) {
    const std::string home = (home_.path() / "zhangwei").string();
    auto as = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--home", home, "--server", serverUrl(), "--user", "zhangwei",
                                 "--password", "123456"});
        return runCli(args);
    };
    std::string tooLong;
    for (int i = 0; i < 1500; ++i) {
        tooLong += "长";
    }
    const auto refused = as({"send", "12", tooLong});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("HTTP 413"), std::string::npos) << refused.err;

    const auto sent = as({"send", "12", "会议改到三点"});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out, "sent\n");

    const auto dialog = as({"dialog", "12"});
    ASSERT_EQ(dialog.exitCode, 0) << dialog.err;
    EXPECT_NE(dialog.out.find("会议改到三点"), std::string::npos) << dialog.out;
    EXPECT_EQ(dialog.out.find("长长长"), std::string::npos);

    // No newer mail is an empty page, not a failure.
    const auto newer = as({"list", "email", "--new", "999999"});
    EXPECT_EQ(newer.exitCode, 0) << newer.err;
    EXPECT_EQ(newer.out, "");
}

}  // namespace
}  // namespace oa::test

// Failed exchanges against a loopback server: every request object reports a status outside
// 200-299, a refused connection and a time-out through HttpRequest::lastFailure(), per thread,
// while an empty but successful page reports none; a failed attachment link is left out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "ServerFixture.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/FileBO.h"
#include "core/protocol/HomeBO.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/MessageBO.h"
#include "core/protocol/NewsBO.h"
#include "core/protocol/Records.h"
#include "core/protocol/SmsBO.h"

namespace oa::test {
namespace {

namespace fs = std::filesystem;
using FailedExchange = ServerFixture;

// One operation of a request object, with the page its request goes to.
struct Operation {
    const char* name;
    const char* page;
    std::function<void(const fs::path& home)> call;
};

class EveryOperation : public ServerFixture, public ::testing::WithParamInterface<Operation> {
protected:
    void call() { GetParam().call(home.path()); }
};

TEST_P(EveryOperation, ReportsABadStatusAndForgetsItAfterAnEmptyPage) {
    server.setReply(GetParam().page,
                    {500, {{"Content-Type", "text/plain; charset=utf-8"}}, "ERROR: 数据库不可用"});
    call();
    auto failure = HttpRequest::lastFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, 500);
    EXPECT_FALSE(failure->error);
    EXPECT_EQ(failure->reason(),
              server.url(GetParam().page) + ": the server answered HTTP 500: ERROR: 数据库不可用");

    // An empty page is a successful exchange.
    reply(GetParam().page, "");
    call();
    EXPECT_EQ(HttpRequest::lastFailure(), std::nullopt);

    GlobalVar::getInstance_global().setOa(unreachableAddress());
    call();
    failure = HttpRequest::lastFailure();
    ASSERT_TRUE(failure);
    ASSERT_TRUE(failure->error);
    EXPECT_EQ(failure->error->type, RequestErrorType::ConnectionFailure);
    EXPECT_EQ(failure->status, 0);
    EXPECT_FALSE(failure->timedOut());
}

// A voice recording the upload can send.
fs::path voiceFile(const fs::path& home) {
    const fs::path path = home / "tmp" / "R_5_1.amr";
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "#!AMR\n" << std::string(32, '\x3c');
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    RequestObjects, EveryOperation,
    ::testing::Values(
        Operation{"FirstPage", "/mobile/email/data.php",
                  [](const fs::path&) { EmailBO().getList(); }},
        Operation{"NewerItems", "/mobile/notify/data.php",
                  [](const fs::path&) { BaseBO("workflow").getNewList("3"); }},
        Operation{"OlderItems", "/mobile/diary/data.php",
                  [](const fs::path&) { BaseBO("diary").getMoreList(10); }},
        Operation{"Detail", "/mobile/news/data.php",
                  [](const fs::path&) { NewsBO().getDetailInfo("1"); }},
        Operation{"Folder", "/mobile/file_folder/data.php",
                  [](const fs::path&) { FileBO("public_folder").getFolderList("2"); }},
        Operation{"Counters", "/mobile/services_count.php",
                  [](const fs::path&) { HomeBO().getHomeTipInfo("INIT"); }},
        Operation{"Reminders", "/mobile/sms/data.php",
                  [](const fs::path&) { SmsBO().getSmsInfo(); }},
        Operation{"ReminderRead", "/mobile/sms/data.php",
                  [](const fs::path&) { SmsBO().readSms("5"); }},
        Operation{"Conversations", "/mobile/message/data.php",
                  [](const fs::path&) { MessageBO().getMessageInfo(); }},
        Operation{"Dialog", "/mobile/message/data.php",
                  [](const fs::path&) { MessageBO().getMessageDetail("9"); }},
        Operation{"NewestMessage", "/mobile/message/data.php",
                  [](const fs::path&) { MessageBO().getSignleMsg("9"); }},
        Operation{"TextMessage", "/mobile/message/data.php",
                  [](const fs::path&) { MessageBO().sendSignleMsg("9", "你好"); }},
        Operation{"VoiceMessage", "/corvane/im/upload.php",
                  [](const fs::path& home) {
                      MessageBO().sendVoiceMsg("9", "3", voiceFile(home).string());
                  }},
        Operation{"VoiceDownload", "/corvane/im/down.php",
                  [](const fs::path&) { MessageBO().getVoiceMessageAttachment_id("1", "a.amr"); }},
        Operation{"AttachmentLink", "/mobile/attach.php",
                  [](const fs::path&) { HttpRequest().getAttachInfo("", "1", "a.doc"); }}),
    [](const auto& param) { return std::string(param.param.name); });

// The list screen loads on background threads, several at once: each thread hears of its own
// exchange only.
TEST_F(FailedExchange, TimeOutIsReportedToTheThreadThatWaitedOnly) {
    server.setHandler("/mobile/email/data.php",
                      [](const CapturedRequest&, HttpTestServer::Exchange& exchange) {
                          exchange.holdUntilClosed();
                      });
    reply("/mobile/news/data.php", "NOMOREDATA");

    std::optional<RecordList> stalledPage;
    std::optional<ExchangeFailure> stalled;
    std::optional<ExchangeFailure> answered = ExchangeFailure{"(not asked)", {}, 0, {}};
    std::thread waiting([&] {
        stalledPage = EmailBO().getList();
        stalled = HttpRequest::lastFailure();
    });
    std::thread other([&] {
        ASSERT_TRUE(server.waitForInFlight(1));
        NewsBO().getList();
        answered = HttpRequest::lastFailure();
    });
    other.join();
    waiting.join();

    EXPECT_EQ(answered, std::nullopt);
    ASSERT_TRUE(stalled);
    EXPECT_TRUE(stalled->timedOut());
    EXPECT_EQ(stalled->reason(), server.url("/mobile/email/data.php") + ": The request timed out");
    // The screen's fallback stays: a failed load gives an empty page.
    EXPECT_EQ(stalledPage, RecordList{});
}

TEST_F(FailedExchange, FailedAttachmentLinkIsLeftOutAndTheDetailReportsIt) {
    reply("/mobile/email/data.php",
          R"({"content":"c","attachment_id":"1,2","attachment_name":"a.doc*b.doc"})");
    server.setHandler("/mobile/attach.php",
                      [](const CapturedRequest& request, HttpTestServer::Exchange& exchange) {
                          const bool first = request.form().at(1).value == "1";
                          exchange.reply(first ? CannedReply{404, {}, "ERROR: no such attachment"}
                                               : CannedReply{200, {}, "[link 2]"});
                      });
    const auto detail = std::dynamic_pointer_cast<EmailDetailVO>(EmailBO().getDetailInfo("7"));
    ASSERT_TRUE(detail);
    // The server's error text is no link.
    EXPECT_EQ(detail->content, "c[link 2]");
    const auto failure = HttpRequest::lastFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, 404);
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(FailedExchange, ReasonShowsTheStartOfTheReplyOnOneSafeLine) {
    std::string body = "ERROR: \x1b[2J\r\nbad\x7f\xc2\x9bthing ";
    for (int i = 0; i < 100; ++i) {
        body += "错";
    }
    server.setReply("/mobile/sms/data.php",
                    {503, {{"Content-Type", "text/plain; charset=utf-8"}}, body});
    SmsBO().getSmsInfo();
    const auto failure = HttpRequest::lastFailure();
    ASSERT_TRUE(failure);
    const std::string& excerpt = failure->excerpt;
    ASSERT_GT(excerpt.size(), 3u);
    EXPECT_EQ(excerpt.rfind("ERROR: [2J bad thing 错错", 0), 0u) << excerpt;
    for (std::size_t i = 0; i < excerpt.size(); ++i) {
        const auto byte = static_cast<unsigned char>(excerpt[i]);
        EXPECT_GE(byte, 0x20) << i;
        EXPECT_NE(byte, 0x7F) << i;
        EXPECT_FALSE(byte == 0xC2 && i + 1 < excerpt.size() &&
                     static_cast<unsigned char>(excerpt[i + 1]) < 0xA0)
            << i;
    }
    // Cut after a whole character, and said to be cut.
    EXPECT_LE(excerpt.size(), 160u + 3u);
    EXPECT_EQ(excerpt.substr(excerpt.size() - 6), "错...");
}

}  // namespace
}  // namespace oa::test

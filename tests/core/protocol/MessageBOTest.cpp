// The counter, reminder and instant-message logic against a loopback server: what each returns
// for the server's replies, for empty pages and for failed transfers, and the voice download.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "Replies.h"
#include "ServerFixture.h"
#include "core/protocol/HomeBO.h"
#include "core/protocol/MessageBO.h"
#include "core/protocol/SmsBO.h"

namespace oa::test {
namespace {

namespace fs = std::filesystem;
using MessageLogicTest = ServerFixture;

std::string fileContent(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Three 12.2 kbit/s frames.
std::string amrFile() {
    std::string bytes = "#!AMR\n";
    for (int frame = 0; frame < 3; ++frame) {
        bytes += '\x3c';
        for (int i = 1; i < 32; ++i) {
            bytes += static_cast<char>(frame * 31 + i);
        }
    }
    return bytes;
}

TEST_F(MessageLogicTest, CountersAreThoseOfTheLastModuleElement) {
    reply("/mobile/services_count.php", readReply("counters_two_elements.json"));
    const auto counters = HomeBO().getHomeTipInfo("news");
    EXPECT_EQ(counters,
              (JsonOperation::CounterDic{{"email", "3"}, {"notify", "0"}, {"news", "5"}}));
    EXPECT_EQ(fieldsOf(onlyRequest()), (Fields{{"UID", kUid}, {"MODULES", "news"}}));

    GlobalVar::getInstance_global().setOa(unreachableAddress());
    EXPECT_TRUE(HomeBO().getHomeTipInfo("INIT").empty());
}

TEST_F(MessageLogicTest, RemindersComeInReplyOrder) {
    reply("/mobile/sms/data.php", readReply("sms_list.json"));
    const auto reminders = SmsBO().getSmsInfo();
    ASSERT_EQ(reminders.size(), 2u);
    EXPECT_EQ(reminders[0]->q_id, "880");
    EXPECT_EQ(reminders[0]->sms_type, "13");
    EXPECT_EQ(reminders[1]->sms_url, "/general/vote/show.php?VOTE_ID=6");

    reply("/mobile/sms/data.php", "NOMOREDATA");
    EXPECT_TRUE(SmsBO().getSmsInfo().empty());
}

TEST_F(MessageLogicTest, ConversationReplyIsCleanedBeforeParsing) {
    reply("/mobile/message/data.php", readReply("message_list.json"));
    auto conversations = MessageBO().getMessageInfo();
    ASSERT_EQ(conversations.size(), 2u);
    EXPECT_EQ(conversations[0]->q_id, "44");
    EXPECT_EQ(conversations[0]->content, "下午三点开会 别迟到");
    EXPECT_EQ(conversations[1]->unread_num, "0");

    reply("/mobile/message/data.php",
          "\r\n[{\"q_id\":\"1\",\"content\":\"a;b\r\nc&lt;d&#x2F;\"}]\n");
    conversations = MessageBO().getMessageInfo();
    ASSERT_EQ(conversations.size(), 1u);
    EXPECT_EQ(conversations[0]->content, "a;b\nc<d/");

    GlobalVar::getInstance_global().setOa(unreachableAddress());
    EXPECT_TRUE(MessageBO().getMessageInfo().empty());
}

TEST_F(MessageLogicTest, DialogMessagesComeInReplyOrderAsTyped) {
    reply("/mobile/message/data.php", readReply("dialog.json"));
    const auto messages = MessageBO().getMessageDetail("44");
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0]->q_id, "901");
    EXPECT_EQ(messages[0]->content, "报表已发你邮箱;请查收");
    EXPECT_EQ(messages[1]->content, "a;b");
    EXPECT_EQ(messages[2]->content, "好的 马上看\n稍等");
    EXPECT_EQ(messages[2]->msg_from, "0");
    EXPECT_EQ(fieldsOf(onlyRequest()),
              (Fields{{"Q_ID", "44"}, {"ATYPE", "getDialogList"}, {"P", kSession}}));
}

TEST_F(MessageLogicTest, NewestMessageIsNothingForNoNewDataOrFailure) {
    reply("/mobile/message/data.php", readReply("single_message.json"));
    const auto message = MessageBO().getSignleMsg("44");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->q_id, "905");
    EXPECT_EQ(message->content, "晚上一起吃饭吗？");
    EXPECT_EQ(message->isvoicemsg, std::nullopt);

    reply("/mobile/message/data.php", "NONEWDATA");
    EXPECT_EQ(MessageBO().getSignleMsg("44"), nullptr);
    // An error page is no message (the dialog would show an empty bubble).
    server.setReply("/mobile/message/data.php", {500, {}, R"({"error":"database"})"});
    EXPECT_EQ(MessageBO().getSignleMsg("44"), nullptr);
    GlobalVar::getInstance_global().setOa(unreachableAddress());
    EXPECT_EQ(MessageBO().getSignleMsg("44"), nullptr);
}

// A send counts as done only when the server accepted it: an answer such as 413 (too long) or
// 500 stored nothing. The text of the answer is not looked at.
TEST_F(MessageLogicTest, SendsSucceedOnlyWithAStatusFrom200To299) {
    const fs::path amr = home.path() / "tmp" / "R_5_1.amr";
    fs::create_directories(amr.parent_path());
    std::ofstream(amr, std::ios::binary) << amrFile();
    for (const auto& [status, accepted] : {std::pair{200, true}, std::pair{201, true},
                                           std::pair{413, false}, std::pair{500, false}}) {
        SCOPED_TRACE(status);
        server.setReply("/mobile/message/data.php", {status, {}, "ERROR"});
        server.setReply("/corvane/im/upload.php", {status, {}, "ERROR"});
        EXPECT_EQ(MessageBO().sendSignleMsg("44", "你好"), accepted);
        EXPECT_EQ(MessageBO().sendVoiceMsg("44", "3", amr.string()).ok, accepted);
    }
    GlobalVar::getInstance_global().setOa(unreachableAddress());
    EXPECT_FALSE(MessageBO().sendSignleMsg("44", "你好"));
    EXPECT_FALSE(MessageBO().sendVoiceMsg("44", "3", amr.string()));
}

TEST_F(MessageLogicTest, VoiceDownloadIsStoredInTheVoiceFolderAndConverted) {
    const fs::path voice = home.path() / "Documents" / "voice";
    fs::create_directories(voice);
    std::ofstream(voice / "语音1.amr") << "an older download";
    const std::string amr = amrFile();
    server.setReply("/corvane/im/down.php", {200, {{"Content-Type", "audio/amr"}}, amr});

    const auto wav = MessageBO().getVoiceMessageAttachment_id("1304_2852", "语音1.amr");

    ASSERT_TRUE(wav);
    EXPECT_EQ(fs::path(*wav), voice / "语音1.wav");
    EXPECT_EQ(fileContent(voice / "语音1.amr"), amr);
    EXPECT_EQ(fs::file_size(*wav), 48u + 3 * 320u);
    EXPECT_EQ(fieldsOf(onlyRequest()), (Fields{{"P", kSession},
                                               {"ATTACHMENT_ID", "1304_2852"},
                                               {"ATTACHMENT_NAME", "语音1.amr"}}));
    // Nothing but the two files is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(voice), fs::directory_iterator()), 2);
}

TEST_F(MessageLogicTest, VoiceDownloadThatIsNoAmrFileGivesNothing) {
    server.setReply("/corvane/im/down.php", {404, {}, "not found"});
    EXPECT_EQ(MessageBO().getVoiceMessageAttachment_id("1", "x.amr"), std::nullopt);
    GlobalVar::getInstance_global().setOa(unreachableAddress());
    EXPECT_EQ(MessageBO().getVoiceMessageAttachment_id("1", "y.amr"), std::nullopt);
    EXPECT_FALSE(fs::exists(home.path() / "Documents" / "voice" / "y.amr"));
}

class UnsafeVoiceName : public ServerFixture,
                        public ::testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(UnsafeVoiceName, IsNeitherRequestedNorWritten) {
    server.setReply("/corvane/im/down.php", {200, {}, amrFile()});
    EXPECT_EQ(MessageBO().getVoiceMessageAttachment_id("1", GetParam()), std::nullopt);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(fs::exists(home.path() / "Documents" / "evil.amr"));
    EXPECT_FALSE(fs::exists(home.path() / "evil.amr"));
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeVoiceName,
                         ::testing::Values(std::nullopt, "", ".", "..", "../evil.amr",
                                           "../../evil.amr", "sub/evil.amr",
                                           std::string("evil\0.amr", 9)));

TEST_F(MessageLogicTest, VoiceFolderIsMadeUnderTheHome) {
    const fs::path folder = MessageBO::createFilePath();
    EXPECT_EQ(folder, home.path() / "Documents" / "voice");
    EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace oa::test

// Instant messages over HTTP and their pushes: a sent message reaches the partner as
// "n^message" on the IM socket and in the dialog; voice files go up and come down unchanged.
#include <gtest/gtest.h>

#include "server/MessagePages.h"
#include "server/ServerFixture.h"
#include "server/VoiceSynth.h"

namespace oa::test {
namespace {

class MessageTest : public ServerFixture {
protected:
    std::string amr(double seconds, unsigned seed) {
        return VoiceSynth::encodeAmr(VoiceSynth::speechLike(seconds, seed, false));
    }

    httplib::Result uploadVoice(const std::string& session, const std::string& destinations,
                                const std::string& durationMs, const std::string& bytes) {
        const httplib::MultipartFormDataItems items = {
            {"UPLOAD_MODE", "1", "", ""},
            {"P_VER", "5", "", ""},
            {"DEST_UID", destinations, "", ""},
            {"DURATION", durationMs, "", ""},
            {"P", session, "", ""},
            {"ATTACHMENT", bytes, "R_5_1372400000.amr", "audio/amr"}};
        return client()->Post("/corvane/im/upload.php", items);
    }

    nlohmann::json dialog(const std::string& session, const std::string& partner) {
        return postJson("/mobile/message/data.php",
                        {{"Q_ID", partner}, {"ATYPE", "getDialogList"}, {"P", session}});
    }
};

TEST_F(MessageTest, SentMessageIsPushedAndShowsInThePartnersDialog) {
    const std::string lina = signIn("lina");
    const std::string zhangwei = signIn("zhangwei");
    auto zhangweiIm = imLogin("zhangwei");

    EXPECT_EQ(postJson("/mobile/message/data.php", {{"Q_UID", "9"},
                                                    {"CONTENT", "张总，周会改到三点。"},
                                                    {"ATYPE", "sendSignleMsg"},
                                                    {"P", lina}})
                  .value("status", ""),
              "OK");
    EXPECT_EQ(zhangweiIm->receive(), std::optional<std::string>("n^message"));

    // The newest unread message of the recipient is this one.
    const auto newest = postJson("/mobile/message/data.php",
                                 {{"Q_ID", "9"}, {"ATYPE", "getSingleNewMsg"}, {"P", zhangwei}});
    EXPECT_EQ(newest["content"], "张总，周会改到三点。");
    EXPECT_EQ(newest["q_name"], "李娜");
    EXPECT_EQ(newest["msg_from"], "0");

    // The conversation list names the partner with the unread count; the dialog shows the
    // message newest first and marks it read.
    auto conversations = postJson("/mobile/message/data.php",
                                  {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", zhangwei}});
    ASSERT_TRUE(conversations.is_array());
    EXPECT_EQ(conversations[0]["q_id"], "10");
    EXPECT_EQ(conversations[0]["content"], "张总，周会改到三点。");
    EXPECT_EQ(conversations[0]["unread_num"], "2");
    EXPECT_EQ(conversations[0]["read_flag"], "0");

    const auto messages = dialog(zhangwei, "10");
    ASSERT_TRUE(messages.is_array());
    EXPECT_EQ(messages[0]["content"], "张总，周会改到三点。");
    EXPECT_EQ(messages[0]["msg_from"], "0");
    EXPECT_EQ(messages[1]["isvoicemsg"], "1");
    EXPECT_EQ(messages[2]["msg_from"], "1") << "zhangwei's own earlier reply";

    conversations = postJson("/mobile/message/data.php",
                             {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", zhangwei}});
    EXPECT_EQ(conversations[0]["unread_num"], "0");
    EXPECT_EQ(postJson("/mobile/message/data.php",
                       {{"Q_ID", "9"}, {"ATYPE", "getSingleNewMsg"}, {"P", zhangwei}})["q_name"],
              "王浩")
        << "wanghao's message to zhangwei is still unread";
    dialog(zhangwei, "11");
    dialog(zhangwei, "1");
    EXPECT_EQ(postText("/mobile/message/data.php",
                       {{"Q_ID", "9"}, {"ATYPE", "getSingleNewMsg"}, {"P", zhangwei}}),
              "NONEWDATA");
    // The sender sees the message as theirs.
    EXPECT_EQ(dialog(lina, "9")[0]["msg_from"], "1");
}

TEST_F(MessageTest, GroupMessageReachesEveryRecipientOnce) {
    const std::string boss = signIn("wangjianguo");
    auto liuli = imLogin("liuli");
    auto zhangwei = imLogin("zhangwei");
    const auto reply = postJson("/mobile/message/data.php", {{"TO_UID", "2,9,2,1,999"},
                                                             {"ATYPE", "mutiSend"},
                                                             {"CONTENT", "下午两点开会"},
                                                             {"P", boss}});
    EXPECT_EQ(reply.value("count", ""), "2") << "repeats, the sender and unknown uids dropped";
    EXPECT_EQ(liuli->receive(), std::optional<std::string>("n^message"));
    EXPECT_EQ(zhangwei->receive(), std::optional<std::string>("n^message"));
    EXPECT_EQ(liuli->receive(std::chrono::milliseconds(200)), std::nullopt);
    EXPECT_EQ(dialog(signIn("liuli"), "1")[0]["content"], "下午两点开会");
    EXPECT_EQ(dialog(signIn("zhangwei"), "1")[0]["content"], "下午两点开会");
}

TEST_F(MessageTest, VoiceUploadComesBackByteIdentical) {
    const std::string lina = signIn("lina");
    const std::string zhangwei = signIn("zhangwei");
    auto zhangweiIm = imLogin("zhangwei");
    const std::string bytes = amr(3.2, 42);
    ASSERT_TRUE(VoiceSynth::looksLikeAmr(bytes));

    const auto upload = uploadVoice(lina, "9", "3000", bytes);
    ASSERT_TRUE(upload);
    EXPECT_EQ(upload->status, 200) << upload->body;
    EXPECT_EQ(zhangweiIm->receive(), std::optional<std::string>("n^message"));

    const auto messages = dialog(zhangwei, "10");
    ASSERT_TRUE(messages.is_array());
    const auto& voice = messages[0];
    EXPECT_EQ(voice["isvoicemsg"], "1");
    EXPECT_EQ(voice["duration"], "3");
    EXPECT_EQ(voice["msg_from"], "0");
    const std::string name = voice["attachment_name"];
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_."), std::string::npos)
        << "the client stores and converts the file by this name: " << name;

    const auto download = post(
        "/corvane/im/down.php",
        {{"P", zhangwei}, {"ATTACHMENT_ID", voice["attachment_id"]}, {"ATTACHMENT_NAME", name}});
    ASSERT_TRUE(download);
    EXPECT_EQ(download->status, 200);
    EXPECT_EQ(download->body, bytes);
    // Someone outside the conversation does not get it.
    const auto stranger = post("/corvane/im/down.php", {{"P", signIn("zhouhong")},
                                                        {"ATTACHMENT_ID", voice["attachment_id"]},
                                                        {"ATTACHMENT_NAME", name}});
    EXPECT_EQ(stranger->status, 404);
    EXPECT_NE(stranger->body, bytes);
}

TEST_F(MessageTest, VoiceUploadsThatAreNotUsableAreRefused) {
    const std::string lina = signIn("lina");
    const std::string before = dialog(lina, "9").dump();
    struct Case {
        std::string destinations, duration, bytes;
        int status;
    };
    const std::vector<Case> cases = {
        {"9", "3000", "RIFF....WAVEfmt ", 415},                                  // not AMR
        {"9", "3000", std::string(MessagePages::kMaxVoiceBytes + 1, 'x'), 413},  // too large
        {"10", "3000", amr(1, 1), 400},                                          // only the sender
        {"9", "three", amr(1, 1), 400},  // DURATION not a number
    };
    for (const Case& c : cases) {
        const auto reply = uploadVoice(lina, c.destinations, c.duration, c.bytes);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, c.status) << reply->body;
        EXPECT_EQ(reply->body.rfind("ERROR:", 0), 0u);
    }
    EXPECT_EQ(dialog(lina, "9").dump(), before);

    // A recording under a second arrives with DURATION 0; its length comes from the frames.
    ASSERT_EQ(uploadVoice(lina, "9", "0", amr(0.9, 7))->status, 200);
    EXPECT_EQ(dialog(lina, "9")[0]["duration"], "1");
}

TEST_F(MessageTest, MessagesThatCannotBeDeliveredAreRefused) {
    const std::string lina = signIn("lina");
    const std::string before = dialog(lina, "9").dump();
    const std::vector<Fields> cases = {
        {{"Q_UID", "9"}, {"CONTENT", ""}, {"ATYPE", "sendSignleMsg"}},
        {{"Q_UID", "10"}, {"CONTENT", "自言自语"}, {"ATYPE", "sendSignleMsg"}},
        {{"Q_UID", "12345"}, {"CONTENT", "查无此人"}, {"ATYPE", "sendSignleMsg"}},
        {{"Q_UID", "9"},
         {"CONTENT", std::string(MessagePages::kMaxTextBytes + 1, 'a')},
         {"ATYPE", "sendSignleMsg"}},
        {{"TO_UID", ""}, {"CONTENT", "x"}, {"ATYPE", "mutiSend"}},
        // Another user's newest message is not handed out.
        {{"Q_ID", "9"}, {"ATYPE", "getSingleNewMsg"}},
    };
    for (Fields fields : cases) {
        fields.emplace_back("P", lina);
        const auto reply = post("/mobile/message/data.php", fields);
        ASSERT_TRUE(reply);
        EXPECT_GE(reply->status, 400) << fields[0].second;
        EXPECT_TRUE(nlohmann::json::parse(reply->body, nullptr, false).is_discarded());
    }
    EXPECT_EQ(dialog(lina, "9").dump(), before) << "nothing was stored";
}

TEST_F(MessageTest, AdminVoiceEventIsASynthesisedVoiceMessageWithItsPush) {
    const std::string zhangwei = signIn("zhangwei");
    auto zhangweiIm = imLogin("zhangwei");
    ASSERT_FALSE(
        adminEvent({{"kind", "message"}, {"from", "lina"}, {"to", "zhangwei"}, {"voice", "3"}})
            .empty());
    EXPECT_EQ(zhangweiIm->receive(), std::optional<std::string>("n^message"));

    const auto messages = dialog(zhangwei, "10");
    ASSERT_TRUE(messages.is_array());
    const auto& voice = messages[0];
    EXPECT_EQ(voice["isvoicemsg"], "1");
    EXPECT_EQ(voice["duration"], "3");
    EXPECT_EQ(voice["msg_from"], "0");
    const auto download =
        post("/corvane/im/down.php", {{"P", zhangwei},
                                      {"ATTACHMENT_ID", voice["attachment_id"]},
                                      {"ATTACHMENT_NAME", voice["attachment_name"]}});
    ASSERT_TRUE(download);
    ASSERT_EQ(download->status, 200);
    EXPECT_TRUE(VoiceSynth::looksLikeAmr(download->body));
    EXPECT_NEAR(static_cast<double>(VoiceSynth::durationMs(download->body)), 3000.0, 20.0);
}

TEST_F(MessageTest, AdminVoiceEventOfNoUsableLengthStoresNothing) {
    const std::string zhangwei = signIn("zhangwei");
    const std::string before = dialog(zhangwei, "10").dump();
    for (const char* seconds : {"0", "-2", "61", "abc", ""}) {
        const auto reply = adminPost(
            "/demo/admin/event",
            {{"kind", "message"}, {"from", "lina"}, {"to", "zhangwei"}, {"voice", seconds}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 400) << "voice=" << seconds << ": " << reply->body;
    }
    EXPECT_EQ(dialog(zhangwei, "10").dump(), before);
}

}  // namespace
}  // namespace oa::test

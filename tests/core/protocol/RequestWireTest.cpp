// Every request of HttpRequest as the server receives it: method, page, field names, order and
// values; the reply handed back as text (bytes for the voice file), and nothing on failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "ServerFixture.h"
#include "core/protocol/HttpRequest.h"

namespace oa::test {
namespace {

struct WireCase {
    const char* name;
    std::function<HttpRequest::Reply(HttpRequest&)> send;
    std::string path;
    Fields fields;
    bool returnsReply = true;
};

void PrintTo(const WireCase& c, std::ostream* out) {
    *out << c.name;
}

const char* const kEmail = "/mobile/email/data.php";
const char* const kMessage = "/mobile/message/data.php";

using RequestTest = ServerFixture;

class RequestWire : public ServerFixture, public ::testing::WithParamInterface<WireCase> {};

TEST_P(RequestWire, SendsItsFieldsInOrderToItsPage) {
    const WireCase& c = GetParam();
    reply(c.path, "reply of " + c.path);
    HttpRequest request;
    const HttpRequest::Reply got = c.send(request);

    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.target, c.path);
    EXPECT_EQ(fieldsOf(sent), c.fields);
    if (c.returnsReply) {
        EXPECT_EQ(got, "reply of " + c.path);
    }
}

// The latest id is read as the server compares ids: leading digits, else 0.
INSTANTIATE_TEST_SUITE_P(
    Requests, RequestWire,
    ::testing::Values(
        WireCase{"FirstPage",
                 [](HttpRequest& r) { return r.getList(kEmail); },
                 kEmail,
                 {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", "S-0427"}}},
        WireCase{
            "NewerItems",
            [](HttpRequest& r) { return r.getNewList("120", kEmail); },
            kEmail,
            {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "120"}, {"P", "S-0427"}}},
        WireCase{"NewerItemsWithoutLatestId",
                 [](HttpRequest& r) { return r.getNewList(std::nullopt, kEmail); },
                 kEmail,
                 {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "0"}, {"P", "S-0427"}}},
        WireCase{"NewerItemsWithLatestIdNotANumber",
                 [](HttpRequest& r) { return r.getNewList("abc", kEmail); },
                 kEmail,
                 {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "0"}, {"P", "S-0427"}}},
        WireCase{"NewerItemsWithEmptyLatestId",
                 [](HttpRequest& r) { return r.getNewList("", kEmail); },
                 kEmail,
                 {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "0"}, {"P", "S-0427"}}},
        WireCase{
            "OlderItems",
            [](HttpRequest& r) { return r.getMoreList(20, kEmail); },
            kEmail,
            {{"ATYPE", "refreshList"}, {"A", "getMore"}, {"CURRITERMS", "20"}, {"P", "S-0427"}}},
        WireCase{"Detail",
                 [](HttpRequest& r) { return r.getDetail("120", kEmail, "getEmailContent"); },
                 kEmail,
                 {{"ATYPE", "getEmailContent"}, {"P", "S-0427"}, {"Q_ID", "120"}}},
        WireCase{"DetailOfPublicCabinet",
                 [](HttpRequest& r) {
                     r.tag_Public_floder = true;
                     return r.getDetail("7", "/mobile/file_folder/data.php", "getListContent");
                 },
                 "/mobile/file_folder/data.php",
                 {{"ATYPE", "getListContent"}, {"P", "S-0427"}, {"P_ID", "7"}}},
        WireCase{"Attachment",
                 [](HttpRequest& r) { return r.getAttachInfo(kEmail, "101", "放假安排.doc"); },
                 "/mobile/attach.php",
                 {{"P", "S-0427"}, {"ATTACHMENT_ID", "101"}, {"ATTACHMENT_NAME", "放假安排.doc"}}},
        WireCase{"Counters",
                 [](HttpRequest& r) { return r.getPushNotice("INIT"); },
                 "/mobile/services_count.php",
                 {{"UID", "U-12"}, {"MODULES", "INIT"}}},
        WireCase{"Reminders",
                 [](HttpRequest& r) { return r.getSms(); },
                 "/mobile/sms/data.php",
                 {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", "S-0427"}}},
        WireCase{"ReminderRead",
                 [](HttpRequest& r) {
                     r.readSms("880");
                     return HttpRequest::Reply();
                 },
                 "/mobile/sms/data.php",
                 {{"ATYPE", "readsms"}, {"SMS_ID", "880"}, {"P", "S-0427"}},
                 false},
        WireCase{"Conversations",
                 [](HttpRequest& r) { return r.getMessage(); },
                 kMessage,
                 {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", "S-0427"}}},
        WireCase{"Dialog",
                 [](HttpRequest& r) { return r.getMessageDetail("44"); },
                 kMessage,
                 {{"Q_ID", "44"}, {"ATYPE", "getDialogList"}, {"P", "S-0427"}}},
        WireCase{"SendText",
                 [](HttpRequest& r) { return r.sendMsg("44", "今晚 8:00 & a+b=c; 好"); },
                 kMessage,
                 {{"Q_UID", "44"},
                  {"CONTENT", "今晚 8:00 & a+b=c; 好"},
                  {"ATYPE", "sendSignleMsg"},
                  {"P", "S-0427"}}},
        WireCase{"NewestMessageAsksForTheSignedInUser",
                 [](HttpRequest& r) { return r.getMeg("44"); },
                 kMessage,
                 {{"Q_ID", "U-12"}, {"ATYPE", "getSingleNewMsg"}, {"P", "S-0427"}}},
        WireCase{
            "VoiceDownload",
            [](HttpRequest& r) { return r.getVoiceMsgwithAttachment_id("1304_2852", "x.amr"); },
            "/corvane/im/down.php",
            {{"P", "S-0427"}, {"ATTACHMENT_ID", "1304_2852"}, {"ATTACHMENT_NAME", "x.amr"}}}),
    [](const auto& param) { return std::string(param.param.name); });

// The list flag of the two shared pages; other pages carry none.
struct FlagCase {
    const char* name;
    std::string page;
    bool isPublic;
    bool isDiary;
    std::optional<std::string> ftype;
};

class ListFlag : public ServerFixture, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ListFlag, FollowsTheSessionFieldOnAllThreeListRequests) {
    const FlagCase& c = GetParam();
    reply(c.page, "[]");
    HttpRequest request;
    request.isPublic = c.isPublic;
    request.isDiary = c.isDiary;
    request.getList(c.page);
    request.getNewList("5", c.page);
    request.getMoreList(3, c.page);

    const auto sent = server.requests();
    ASSERT_EQ(sent.size(), 3u);
    for (const auto& one : sent) {
        const Fields fields = fieldsOf(one);
        ASSERT_GE(fields.size(), 3u);
        if (c.ftype) {
            EXPECT_EQ(fields.back(), (std::pair<std::string, std::string>("FTYPE", *c.ftype)));
            EXPECT_EQ(fields[fields.size() - 2].first, "P");
        } else {
            EXPECT_EQ(fields.back().first, "P");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ListFlag,
    ::testing::Values(
        FlagCase{"PublicCabinet", "/mobile/file_folder/data.php", true, false, "public"},
        FlagCase{"PersonalCabinet", "/mobile/file_folder/data.php", false, false, "personal"},
        FlagCase{"PersonalCabinetIgnoresDiaryFlag", "/mobile/file_folder/data.php", false, true,
                 "personal"},
        FlagCase{"SharedDiaries", "/mobile/diary/data.php", false, true, "share"},
        FlagCase{"OwnDiaries", "/mobile/diary/data.php", true, false, "diary"},
        FlagCase{"OtherPagesCarryNoFlag", "/mobile/notify/data.php", true, true, std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

// The voice upload: multipart, text fields first, then the file under its own name.
struct DurationCase {
    const char* seconds;
    const char* milliseconds;
};

class VoiceUpload : public ServerFixture, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(VoiceUpload, SendsDurationInMillisecondsAndTheFile) {
    const std::string amr = std::string("#!AMR\n") + '\x3c' + std::string(31, '\0');
    const auto path = home.path() / "tmp" / "R_5_1366000000.amr";
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << amr;
    reply("/corvane/im/upload.php", "OK");

    EXPECT_EQ(HttpRequest().sendVoiceMsg("44,51", GetParam().seconds, path.string()), "OK");

    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.target, "/corvane/im/upload.php");
    EXPECT_EQ(sent.header("Content-Type").value_or("").rfind("multipart/form-data", 0), 0u);
    const auto parts = sent.form();
    ASSERT_EQ(parts.size(), 6u);
    const Fields expected{{"UPLOAD_MODE", "1"},  {"P_VER", "5"},
                          {"DEST_UID", "44,51"}, {"DURATION", GetParam().milliseconds},
                          {"P", "S-0427"},       {"ATTACHMENT", amr}};
    EXPECT_EQ(fieldsOf(sent), expected);
    EXPECT_EQ(parts[5].fileName, "R_5_1366000000.amr");
    EXPECT_FALSE(parts[4].fileName);
}

INSTANTIATE_TEST_SUITE_P(Durations, VoiceUpload,
                         ::testing::Values(DurationCase{"3", "3000"}, DurationCase{"0", "0"},
                                           DurationCase{"3.9", "3000"}, DurationCase{"", "0"},
                                           DurationCase{"99999999999999999999",
                                                        "9223372036854775000"}));

TEST_F(RequestTest, VoiceUploadWithoutFileSendsNothing) {
    reply("/corvane/im/upload.php", "OK");
    EXPECT_FALSE(HttpRequest().sendVoiceMsg("44", "3", std::nullopt));
    EXPECT_FALSE(HttpRequest().sendVoiceMsg("44", "3", (home.path() / "none.amr").string()));
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(RequestTest, VoiceDownloadKeepsEveryByte) {
    std::string bytes = "#!AMR\n";
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
    }
    server.setReply("/corvane/im/down.php", {200, {{"Content-Type", "audio/amr"}}, bytes});
    EXPECT_EQ(HttpRequest().getVoiceMsgwithAttachment_id("1", "x.amr"), bytes);
}

TEST_F(RequestTest, ErrorPageOrFailedTransferGivesNoReply) {
    // The server's error page is not handed to the parsers as if it were the page.
    server.setReply(kEmail, {500, {}, "<html>error</html>"});
    EXPECT_EQ(HttpRequest().getList(kEmail), std::nullopt);
    server.setReply("/corvane/im/down.php", {404, {}, "#!AMR\nnot found"});
    EXPECT_EQ(HttpRequest().getVoiceMsgwithAttachment_id("1", "x.amr"), std::nullopt);

    GlobalVar::getInstance_global().setOa(unreachableAddress());
    EXPECT_EQ(HttpRequest().getList(kEmail), std::nullopt);
    EXPECT_EQ(HttpRequest().getVoiceMsgwithAttachment_id("1", "x.amr"), std::nullopt);
}

TEST_F(RequestTest, WithoutServerAddressNothingIsSent) {
    GlobalVar::getInstance_global().setOa(std::nullopt);
    EXPECT_EQ(HttpRequest().getMessage(), std::nullopt);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(RequestTest, AbsentSessionIdIsSentEmpty) {
    GlobalVar::getInstance_global().setSession_id(std::nullopt);
    reply(kMessage, "[]");
    HttpRequest().getMessage();
    EXPECT_EQ(fieldsOf(onlyRequest()),
              (Fields{{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", ""}}));
}

}  // namespace
}  // namespace oa::test

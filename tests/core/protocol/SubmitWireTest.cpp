// The four submissions as the server receives them (page, field names, order, encoding, picture
// parts) and their verdicts: success only for a completed exchange with a status from 200 to 299.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "ServerFixture.h"
#include "core/protocol/CalendarBO.h"
#include "core/protocol/DiaryBO.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/FunHttpRequest.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/MessageBO.h"

namespace oa::test {
namespace {

namespace fs = std::filesystem;

constexpr char kDiaryPage[] = "/mobile/diary/submit.php";
constexpr char kEmailPage[] = "/mobile/email/submit.php";
constexpr char kCalendarPage[] = "/mobile/calendar/submit.php";
constexpr char kMessagePage[] = "/mobile/message/data.php";

DiarySaveVO diary() {
    DiarySaveVO record;
    record.diaryTitle = "李娜2026-12-07工作日志";
    record.diaryDate = "2026-12-07";
    record.diaryType = "2";
    record.diaryContent = "周报 & 计划: a+b=c / 50% ?";
    return record;
}

EmailSaveVO email() {
    EmailSaveVO record;
    record.to_id = "3,15,7";
    record.webmail = "wang@example.org";
    record.subject = "版本 1.2";
    record.content = "见附件";
    return record;
}

CalendarSaveVO calendar() {
    return {"09:05", "17:30", "4", "1", "评审会"};
}

// One submission through its module logic, the page it goes to and the fields it must carry.
struct SubmitCase {
    const char* name;
    std::function<SubmitVerdict()> send;
    const char* page;
    Fields fields;
};

void PrintTo(const SubmitCase& c, std::ostream* out) {
    *out << c.name;
}

const SubmitCase kCases[] = {
    {"Diary",
     [] { return DiaryBO().saveDiary(diary()); },
     kDiaryPage,
     {{"P", "S-0427"},
      {"q_id", ""},
      {"dia_time", ""},
      {"editable", ""},
      {"has_attachment", ""},
      {"attachment_id", ""},
      {"attachment_name", ""},
      {"dia_type_desc", ""},
      {"dia_date", "2026-12-07"},
      {"subject", "李娜2026-12-07工作日志"},
      {"content", "周报 & 计划: a+b=c / 50% ?"},
      {"dia_type", "2"}}},
    {"Email",
     [] { return EmailBO().saveEmail(email()); },
     kEmailPage,
     {{"P", "S-0427"},
      {"to_id", "3,15,7"},
      {"cs_id", ""},
      {"webmail", "wang@example.org"},
      {"subject", "版本 1.2"},
      {"content", "见附件"}}},
    {"Calendar",
     [] { return CalendarBO().saveCalendar(calendar()); },
     kCalendarPage,
     {{"P", "S-0427"},
      {"q_id", ""},
      {"cal_time", "09:05"},
      {"end_time", "17:30"},
      {"cal_level", "4"},
      {"cal_type", "1"},
      {"content", "评审会"}}},
    {"GroupMessage",
     [] {
         return MessageBO().sendMessages({"a,b,c", ""});
     },
     kMessagePage,
     {{"TO_UID", "a,b,c"}, {"ATYPE", "mutiSend"}, {"CONTENT", ""}, {"P", "S-0427"}}},
};

class Submission : public ServerFixture, public ::testing::WithParamInterface<SubmitCase> {
protected:
    void answer(int status, std::string body = "OK") {
        server.setReply(GetParam().page,
                        {status, {{"Content-Type", "text/plain; charset=utf-8"}}, std::move(body)});
    }
};

TEST_P(Submission, PostsItsFieldsInOrderUrlEncoded) {
    answer(200);
    const SubmitVerdict verdict = GetParam().send();
    EXPECT_TRUE(verdict.ok);
    EXPECT_EQ(verdict.reason, "");

    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.target, GetParam().page);
    EXPECT_EQ(sent.header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(fieldsOf(sent), GetParam().fields);
}

TEST_P(Submission, SucceedsOnlyWhenTheServerTookIt) {
    answer(204, "");
    EXPECT_TRUE(GetParam().send().ok);
    EXPECT_EQ(HttpRequest::lastFailure(), std::nullopt);

    for (const int status : {400, 404, 503}) {
        answer(status, "ERROR: 拒绝");
        const SubmitVerdict verdict = GetParam().send();
        EXPECT_FALSE(verdict.ok) << status;
        EXPECT_EQ(verdict.reason, server.url(GetParam().page) + ": the server answered HTTP " +
                                      std::to_string(status) + ": ERROR: 拒绝");
        ASSERT_TRUE(HttpRequest::lastFailure());
        EXPECT_EQ(HttpRequest::lastFailure()->status, status);
    }

    GlobalVar::getInstance_global().setOa(unreachableAddress());
    const SubmitVerdict refused = GetParam().send();
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.reason.find("A connection failure occurred"), std::string::npos)
        << refused.reason;
}

INSTANTIATE_TEST_SUITE_P(FourKinds, Submission, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

class SubmitTest : public ServerFixture {
protected:
    // A picture file on disk, under a name of its own.
    fs::path picture(const std::string& name, const std::string& bytes) {
        const fs::path path = home.path() / "pictures" / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

// Bytes a careless multipart writer or reader would spoil: NUL, CR LF, a line that looks like a
// boundary, and every byte value.
std::string awkwardBytes(char tag) {
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes += tag;
    bytes += std::string("\0\r\n--0xKhTmLbOuNdArY-\r\n", 24);
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
    }
    return bytes;
}

TEST_F(SubmitTest, ValuesArePercentEncodedInUtf8) {
    reply(kDiaryPage, "OK");
    ASSERT_TRUE(FunHttpRequest().saveDiaryInfo(diary()).ok);
    const std::string body = onlyRequest().body;
    EXPECT_NE(body.find("&content=%E5%91%A8%E6%8A%A5%20%26%20%E8%AE%A1%E5%88%92%3A%20a%2Bb%3Dc%20"
                        "%2F%2050%25%20%3F&dia_type=2"),
              std::string::npos)
        << body;
    EXPECT_EQ(body.rfind("P=S-0427&q_id=&dia_time=&", 0), 0u) << body;
}

TEST_F(SubmitTest, AnUnsetDiaryKindGoesAsWorkDiary) {
    reply(kDiaryPage, "OK");
    DiarySaveVO record = diary();
    record.diaryType.clear();
    ASSERT_TRUE(FunHttpRequest().saveDiaryInfo(record).ok);
    const Fields fields = fieldsOf(onlyRequest());
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields.back(), (std::pair<std::string, std::string>("dia_type", "1")));
}

TEST_F(SubmitTest, DiaryPicturesFollowTheTextFieldsNamedByPosition) {
    reply(kDiaryPage, "OK");
    const std::string first = awkwardBytes('A');
    const std::string second = awkwardBytes('B');
    DiarySaveVO record = diary();
    // Names on disk that differ from the names the parts must carry.
    record.diaryAttachment = {picture("uploadedfile3.png", first).string(),
                              picture("photo.jpeg", second).string()};
    ASSERT_TRUE(DiaryBO().saveDiary(record).ok);

    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.header("Content-Type").value_or("").rfind("multipart/form-data", 0), 0u);
    const auto parts = sent.form();
    ASSERT_EQ(parts.size(), 14u);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_FALSE(parts[i].fileName) << parts[i].name;
    }
    EXPECT_EQ(parts[10].name, "content");
    EXPECT_EQ(parts[10].value, "周报 & 计划: a+b=c / 50% ?");
    EXPECT_EQ(parts[11].name, "dia_type");
    EXPECT_EQ(parts[12].name, "uploadedfile_0");
    EXPECT_EQ(parts[12].fileName, "uploadedfile0.png");
    EXPECT_EQ(parts[12].contentType, "image/png");
    EXPECT_EQ(parts[12].value, first);
    EXPECT_EQ(parts[13].name, "uploadedfile_1");
    EXPECT_EQ(parts[13].fileName, "uploadedfile1.png");
    EXPECT_EQ(parts[13].value, second);
}

TEST_F(SubmitTest, EmailPicturesKeepTheirOrder) {
    reply(kEmailPage, "OK");
    EmailSaveVO record = email();
    record.imageAry = {picture("b.png", "second?").string(), picture("a.png", "first?").string(),
                       picture("c.png", "").string()};
    ASSERT_TRUE(FunHttpRequest().saveEmailInfo(record).ok);

    const auto parts = onlyRequest().form();
    ASSERT_EQ(parts.size(), 9u);
    EXPECT_EQ(parts[5].name, "content");
    const char* const names[] = {"uploadedfile_0", "uploadedfile_1", "uploadedfile_2"};
    const char* const files[] = {"uploadedfile0.png", "uploadedfile1.png", "uploadedfile2.png"};
    const char* const bytes[] = {"second?", "first?", ""};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(parts[6 + i].name, names[i]);
        EXPECT_EQ(parts[6 + i].fileName, files[i]);
        EXPECT_EQ(parts[6 + i].value, bytes[i]);
    }
}

// A picture part's file name and type follow its bytes, whatever the file on disk is called: the
// server stores and serves a part by its name, so a JPEG named ".png" would go out as image/png.
TEST_F(SubmitTest, PicturePartsAreNamedAndTypedByTheirBytes) {
    reply(kEmailPage, "OK");
    struct Case {
        std::string file;
        std::string bytes;
        std::string name;
        std::string type;
    };
    const std::vector<Case> cases = {
        {"IMG_0001.JPG", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10), "uploadedfile0.jpg",
         "image/jpeg"},
        {"photo.png",
         std::string("\xFF\xD8\xFF\xE1\0\x20"
                     "Exif",
                     10),
         "uploadedfile1.jpg", "image/jpeg"},
        {"scan.jpg", std::string("\x89PNG\r\n\x1A\n\0\0", 10), "uploadedfile2.png", "image/png"},
        {"wave", std::string("GIF89a\x01\0\x01\0", 10), "uploadedfile3.gif", "image/gif"},
        {"notes.jpg", "no picture", "uploadedfile4.png", "image/png"},
    };
    EmailSaveVO record = email();
    for (const Case& c : cases) {
        record.imageAry.push_back(picture(c.file, c.bytes).string());
    }
    ASSERT_TRUE(FunHttpRequest().saveEmailInfo(record).ok);

    const auto parts = onlyRequest().form();
    ASSERT_EQ(parts.size(), 6 + cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].file);
        EXPECT_EQ(parts[6 + i].fileName, cases[i].name);
        EXPECT_EQ(parts[6 + i].contentType, cases[i].type);
        EXPECT_EQ(parts[6 + i].value, cases[i].bytes);
    }
}

TEST_F(SubmitTest, AMissingPictureFailsBeforeAnythingIsSent) {
    reply(kEmailPage, "OK");
    EmailSaveVO record = email();
    const fs::path gone = home.path() / "tmp" / "uploadedfile0.png";
    record.imageAry = {picture("a.png", "x").string(), gone.string()};
    const SubmitVerdict verdict = EmailBO().saveEmail(record);
    EXPECT_FALSE(verdict.ok);
    EXPECT_NE(verdict.reason.find("No file exists at " + gone.string()), std::string::npos)
        << verdict.reason;
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(SubmitTest, WithoutAServerAddressNothingSucceeds) {
    GlobalVar::getInstance_global().setOa(std::nullopt);
    const SubmitVerdict verdict = CalendarBO().saveCalendar(calendar());
    EXPECT_FALSE(verdict.ok);
    EXPECT_FALSE(verdict.reason.empty());
}

TEST_F(SubmitTest, AStalledServerTimesOut) {
    server.setHandler(kMessagePage, [](const CapturedRequest&, HttpTestServer::Exchange& exchange) {
        exchange.holdUntilClosed();
    });
    const SubmitVerdict verdict = MessageBO().sendMessages({"a", "在吗"});
    EXPECT_FALSE(verdict.ok);
    EXPECT_EQ(verdict.reason, server.url(kMessagePage) + ": The request timed out");
    ASSERT_TRUE(HttpRequest::lastFailure());
    EXPECT_TRUE(HttpRequest::lastFailure()->timedOut());
}

TEST_F(SubmitTest, VoiceUploadGivesTheSameVerdict) {
    const fs::path amr = picture("R_5_1.amr", "#!AMR\n<<<<");
    server.setReply("/corvane/im/upload.php", {503, {}, "busy"});
    SubmitVerdict verdict = MessageBO().sendVoiceMsg("a,b", "2.5", amr.string());
    EXPECT_FALSE(verdict.ok);
    EXPECT_EQ(verdict.reason,
              server.url("/corvane/im/upload.php") + ": the server answered HTTP 503: busy");

    verdict = MessageBO().sendVoiceMsg("a,b", "2.5", (home.path() / "none.amr").string());
    EXPECT_FALSE(verdict.ok);
    EXPECT_NE(verdict.reason.find("No file exists at"), std::string::npos) << verdict.reason;

    reply("/corvane/im/upload.php", "OK");
    EXPECT_TRUE(MessageBO().sendVoiceMsg("a,b", "2.5", amr.string()).ok);
    EXPECT_EQ(server.requests().size(), 2u);
}

}  // namespace
}  // namespace oa::test

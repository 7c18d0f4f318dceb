// The editors' submissions: a diary, an e-mail with pictures and a schedule entry each appear in
// their lists afterwards; e-mail recipients get "n^email"; unusable submissions store nothing.
#include <gtest/gtest.h>

#include "server/HttpSupport.h"
#include "server/PngImage.h"
#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class SubmitTest : public ServerFixture {
protected:
    nlohmann::json firstOf(const std::string& page, const std::string& session,
                           const Fields& extra = {}) {
        const auto list =
            nlohmann::json::parse(listPage(page, session, "loadList", extra), nullptr, false);
        return list.is_array() && !list.empty() ? list[0] : nlohmann::json();
    }

    // The diary editor's fields, in its order, with empty values where it fills none.
    static Fields diaryFields(const std::string& session, const std::string& subject,
                              const std::string& date, const std::string& content) {
        return {{"P", session},          {"q_id", ""},           {"dia_time", ""},
                {"editable", ""},        {"has_attachment", ""}, {"attachment_id", ""},
                {"attachment_name", ""}, {"dia_type_desc", ""},  {"dia_date", date},
                {"subject", subject},    {"content", content}};
    }
};

TEST_F(SubmitTest, DiaryAppearsFirstInTheOwnListWithItsKind) {
    const std::string session = signIn("wanghao");
    for (const auto& [subject, kind] : std::vector<std::pair<std::string, std::string>>{
             {"王浩2013-06-28工作日志", "工作日志"}, {"王浩2013-06-28个人日志", "个人日志"}}) {
        const auto reply = postJson("/mobile/diary/submit.php",
                                    diaryFields(session, subject, "2013-06-27", "修复 & <测试>"));
        ASSERT_EQ(reply.value("status", ""), "OK");
        const auto first = firstOf("/mobile/diary/data.php", session, {{"FTYPE", "diary"}});
        EXPECT_EQ(first["q_id"], reply["q_id"]);
        EXPECT_EQ(first["subject"], subject);
        EXPECT_EQ(first["content"], "修复 & <测试>");
        const auto detail =
            postJson("/mobile/diary/data.php",
                     {{"ATYPE", "getDiaryContent"}, {"P", session}, {"Q_ID", reply["q_id"]}});
        EXPECT_EQ(detail["dia_type_desc"], kind);
        EXPECT_EQ(detail["dia_date"], "2013-06-27");
        EXPECT_EQ(detail["editable"], "1");
        // Stored text is shown escaped on the read page.
        const auto page =
            post("/mobile/diary/read.php", {{"P", session}, {"DIA_ID", reply["q_id"]}});
        EXPECT_NE(page->body.find("修复 &amp; &lt;测试&gt;"), std::string::npos);
    }
}

TEST_F(SubmitTest, DiaryWithPicturesIsMultipartAndKeepsThem) {
    const std::string session = signIn("lina");
    const std::string picture = PngImage::avatar(48, 3, true).encode();
    httplib::MultipartFormDataItems items;
    for (const auto& [key, value] :
         diaryFields(session, "李娜2013-06-28工作日志", "2013-06-28", "现场照片两张")) {
        items.push_back({key, value, "", ""});
    }
    items.push_back({"uploadedfile_1", picture + "second", "uploadedfile1.png", "image/png"});
    items.push_back({"uploadedfile_0", picture, "../../uploadedfile0.png", "image/png"});
    const auto result = client()->Post("/mobile/diary/submit.php", items);
    ASSERT_TRUE(result);
    const auto reply = nlohmann::json::parse(result->body, nullptr, false);
    ASSERT_EQ(reply.value("status", ""), "OK") << result->body;

    const auto detail =
        postJson("/mobile/diary/data.php",
                 {{"ATYPE", "getDiaryContent"}, {"P", session}, {"Q_ID", reply["q_id"]}});
    EXPECT_EQ(detail["has_attachment"], "1");
    EXPECT_EQ(detail["attachment_name"], "uploadedfile0.png*uploadedfile1.png*")
        << "in part-number order, path parts dropped";
    const std::string ids = detail["attachment_id"];
    const auto file = client()->Get("/mobile/inc/attach_file.php?P=" + session +
                                    "&ATTACHMENT_ID=" + ids.substr(0, ids.find(',')) +
                                    "&ATTACHMENT_NAME=uploadedfile0.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->body, picture);
}

TEST_F(SubmitTest, EmailReachesEveryRecipientWithItsPictures) {
    const std::string sender = signIn("zhangwei");
    auto lina = imLogin("lina");
    auto liuli = imLogin("liuli");
    const std::string picture = PngImage::barChart(120, 80, {30, 60, 90}).encode();
    const httplib::MultipartFormDataItems items = {
        {"P", sender, "", ""},
        {"to_id", "lina,wanghao,lina,nobody", "", ""},
        {"cs_id", "liuli", "", ""},
        {"webmail", "partner@example.com", "", ""},
        {"subject", "性能测试结果", "", ""},
        {"content", "见附图。\n第二行", "", ""},
        {"uploadedfile_0", picture, "uploadedfile0.png", "image/png"}};
    const auto result = client()->Post("/mobile/email/submit.php", items);
    ASSERT_TRUE(result);
    ASSERT_EQ(nlohmann::json::parse(result->body, nullptr, false).value("status", ""), "OK")
        << result->body;
    EXPECT_EQ(lina->receive(), std::optional<std::string>("n^email"));
    EXPECT_EQ(liuli->receive(), std::optional<std::string>("n^email"));

    for (const std::string user : {"lina", "wanghao", "liuli"}) {
        const std::string session = signIn(user);
        const auto first = firstOf("/mobile/email/data.php", session);
        EXPECT_EQ(first["subject"], "性能测试结果") << user;
        EXPECT_EQ(first["from_name"], "张伟");
        EXPECT_EQ(first["read_flag"], "0");
        EXPECT_EQ(first["has_attachment"], "1");
        const auto detail =
            postJson("/mobile/email/data.php",
                     {{"ATYPE", "getEmailContent"}, {"P", session}, {"Q_ID", first["q_id"]}});
        EXPECT_EQ(detail["from_user_id"], "zhangwei");
        EXPECT_EQ(detail["is_webmail"], "0");
        EXPECT_EQ(detail["content"], "见附图。<br>第二行");
        EXPECT_EQ(detail["attachment_name"], "uploadedfile0.png*");
    }
    // Someone who was not addressed does not get it.
    EXPECT_NE(firstOf("/mobile/email/data.php", signIn("zhouhong"))["subject"], "性能测试结果");
}

// Names that would break the detail reply's "*"-joined list or its UTF-8: each attachment
// downloads through the name the detail reply lists for it, and that name is the stored one.
TEST_F(SubmitTest, AwkwardAttachmentNamesAllDownloadThroughTheListedNames) {
    const std::string sender = signIn("zhangwei");
    std::string longName;
    for (int i = 0; i < 60; ++i) {
        longName += "长";
    }
    longName += ".png";  // 184 bytes: the last 120 begin inside a character
    const std::vector<std::pair<std::string, std::string>> uploads = {
        {"星*号.png", "星_号.png"},
        {std::string("tab\there\x01.png"), "tab_here_.png"},
        {longName, ""},
        {"100% 报告+草稿&v=1#2.png", "100% 报告+草稿&v=1#2.png"},
        {"*", "_"},
        {"half\xE4\xB8.txt", "half_.txt"},
    };
    httplib::MultipartFormDataItems items = {{"P", sender, "", ""},
                                             {"to_id", "lina", "", ""},
                                             {"subject", "附件名", "", ""},
                                             {"content", "六个附件", "", ""}};
    for (std::size_t i = 0; i < uploads.size(); ++i) {
        items.push_back({"uploadedfile_" + std::to_string(i), "file " + std::to_string(i),
                         uploads[i].first, "application/octet-stream"});
    }
    const auto sent = client()->Post("/mobile/email/submit.php", items);
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->status, 200) << sent->body;

    const std::string lina = signIn("lina");
    const auto detail =
        postJson("/mobile/email/data.php",
                 {{"ATYPE", "getEmailContent"},
                  {"P", lina},
                  {"Q_ID", nlohmann::json::parse(sent->body, nullptr, false).value("q_id", "")}});
    const auto ids = HttpSupport::split(detail.value("attachment_id", ""), ',');
    const auto names = HttpSupport::split(detail.value("attachment_name", ""), '*');
    ASSERT_EQ(ids.size(), uploads.size() + 1) << detail.value("attachment_id", "");
    ASSERT_EQ(names.size(), uploads.size() + 1) << detail.value("attachment_name", "");
    for (std::size_t i = 0; i < uploads.size(); ++i) {
        const std::string& name = names[i];
        if (!uploads[i].second.empty()) {
            EXPECT_EQ(name, uploads[i].second);
        }
        EXPECT_LE(name.size(), 120u) << name;
        const auto file =
            client()->Get("/mobile/inc/attach_file.php?P=" + lina + "&ATTACHMENT_ID=" + ids[i] +
                          "&ATTACHMENT_NAME=" + HttpSupport::urlEncode(name));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, 200) << name;
        EXPECT_EQ(file->body, "file " + std::to_string(i)) << name;
    }
    // The long name is cut between characters and keeps its end.
    const std::string& shortened = names[2];
    ASSERT_GE(shortened.size(), 4u);
    EXPECT_EQ(shortened.substr(shortened.size() - 4), ".png");
    EXPECT_EQ(longName.substr(longName.size() - shortened.size()), shortened);
    EXPECT_EQ(shortened.rfind("长", 0), 0u) << "begins with a whole character";
}

TEST_F(SubmitTest, EmailWithoutAKnownRecipientStoresNothing) {
    const std::string sender = signIn("zhangwei");
    const std::string before = listPage("/mobile/email/data.php", signIn("lina"), "loadList");
    for (const std::string to : {"", "nobody", ",,"}) {
        const auto reply =
            post("/mobile/email/submit.php",
                 {{"P", sender}, {"to_id", to}, {"cs_id", "lina"}, {"subject", "x"}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 400) << to;
    }
    EXPECT_EQ(listPage("/mobile/email/data.php", signIn("lina"), "loadList"), before);
}

TEST_F(SubmitTest, ScheduleEntryAppearsWithItsPriorityAndKind) {
    const std::string session = signIn("liuli");
    struct Case {
        std::string level, type, desc, colour, kind;
    };
    for (const Case& c : {Case{"4", "2", "不重要/不紧急", "#2E8B57", "个人事务"},
                          Case{"0", "1", "未指定", "", "工作事务"}}) {
        const auto reply = postJson("/mobile/calendar/submit.php", {{"P", session},
                                                                    {"q_id", ""},
                                                                    {"cal_time", "09:05"},
                                                                    {"end_time", "08:30"},
                                                                    {"cal_level", c.level},
                                                                    {"cal_type", c.type},
                                                                    {"content", "准备会议材料"}});
        ASSERT_EQ(reply.value("status", ""), "OK");
        const auto first = firstOf("/mobile/calendar/data.php", session);
        EXPECT_EQ(first["q_id"], reply["q_id"]);
        EXPECT_EQ(first["cal_time"], "09:05");
        EXPECT_EQ(first["end_time"], "08:30");
        EXPECT_EQ(first["cal_level_desc"], c.desc);
        EXPECT_EQ(first["cal_level_color"], c.colour);
        EXPECT_EQ(first["cal_type"], c.kind);
        EXPECT_EQ(first["content"], "准备会议材料");
    }
    const std::string before = listPage("/mobile/calendar/data.php", session, "loadList");
    const std::vector<Fields> refused = {
        {{"cal_time", "9:05"}, {"end_time", "10:00"}, {"cal_level", "1"}, {"cal_type", "1"}},
        {{"cal_time", "24:00"}, {"end_time", "10:00"}, {"cal_level", "1"}, {"cal_type", "1"}},
        {{"cal_time", "09:00"}, {"end_time", "10:00"}, {"cal_level", "5"}, {"cal_type", "1"}},
        {{"cal_time", "09:00"}, {"end_time", "10:00"}, {"cal_level", "1"}, {"cal_type", "3"}},
        {{"q_id", "1"},
         {"cal_time", "09:00"},
         {"end_time", "10:00"},
         {"cal_level", "1"},
         {"cal_type", "1"}},  // wangjianguo's entry
    };
    for (Fields fields : refused) {
        fields.emplace_back("P", session);
        const auto reply = post("/mobile/calendar/submit.php", fields);
        EXPECT_GE(reply->status, 400) << fields[0].second;
    }
    EXPECT_EQ(listPage("/mobile/calendar/data.php", session, "loadList"), before);
}

}  // namespace
}  // namespace oa::test

// Detail records: image sources, attachment lists, the file-cabinet array, empty vs failed replies.
#include "core/protocol/JsonDetailOperation.h"

#include <gtest/gtest.h>

#include "core/protocol/Replies.h"
#include "core/session/GlobalVar.h"

namespace oa {
namespace {

using test::readReply;
using Texts = std::vector<std::string>;

constexpr const char* kServer = "http://oa.example.cn:8080";

class JsonDetail : public testing::Test {
protected:
    void SetUp() override {
        GlobalVar::getInstance_global().resetForTesting();
        GlobalVar::getInstance_global().setOa(kServer);
    }
    void TearDown() override { GlobalVar::getInstance_global().resetForTesting(); }

    JsonDetailOperation& parser = JsonDetailOperation::getInstance_detail();
};

TEST_F(JsonDetail, EmailImageBecomesAbsoluteAndTrailingSeparatorsGiveEmptyLastEntries) {
    auto mail = std::dynamic_pointer_cast<EmailDetailVO>(
        parser.splitString(readReply("email_detail.json"), "email"));
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->q_id, "120");
    EXPECT_EQ(mail->from_user_id, "wangxm");
    EXPECT_EQ(mail->is_webmail, "0");
    EXPECT_EQ(mail->content,
              "<p>各位同事：</p><p>五一放假安排见附件。</p><p><img "
              "src=\"http://oa.example.cn:8080/attachment/im/1304/logo.png\" width=\"120\"></p>");
    EXPECT_EQ(mail->attachment_id, "101,102,");
    EXPECT_EQ(mail->attachment_id_arr, (Texts{"101", "102", ""}));
    EXPECT_EQ(mail->attachment_name_arr, (Texts{"放假安排.doc", "值班表.xls", ""}));
    EXPECT_FALSE(mail->attachment_url_arr);
}

TEST_F(JsonDetail, EveryRelativeImageOfANoticeIsRewrittenAndAbsoluteOnesAreKept) {
    auto notice = parser.notifyDetail(readReply("notify_detail.json"));
    EXPECT_EQ(notice->content,
              "<div>检查路线如下：<img src=\"http://oa.example.cn:8080/inc/attach.php?ID=7\"><br>"
              "现场照片：<img src=\"http://oa.example.cn:8080/inc/attach.php?ID=8\"><br>"
              "参考：<img src=\"http://www.example.com/fire.png\"></div>");
    EXPECT_EQ(notice->subject_color, "#FF0000");
    EXPECT_EQ(notice->begin_date, "2013-04-26");
    // Keys the parser does not read stay absent; so do the lists without attachment ids.
    EXPECT_FALSE(notice->send_name);
    EXPECT_FALSE(notice->time);
    EXPECT_FALSE(notice->attachment_id_arr);
    EXPECT_FALSE(notice->attachment_name_arr);
}

TEST_F(JsonDetail, NewsKeepsRelativeImagesAndReadsNoItemId) {
    auto news = parser.newsDetail(readReply("news_detail.json"));
    EXPECT_EQ(news->content,
              "<p>公司荣获年度优秀企业称号。</p><img src=\"/attachment/news/award.jpg\">");
    EXPECT_FALSE(news->q_id);
    EXPECT_EQ(news->click_count, "129");
    EXPECT_EQ(news->attachment_id_arr, (Texts{"301", ""}));
    EXPECT_EQ(news->attachment_name_arr, (Texts{"颁奖照片.jpg", ""}));
}

TEST_F(JsonDetail, DiaryWithNullAttachmentsHasNoLists) {
    auto diary = parser.DiaryDetail(readReply("diary_detail.json"));
    EXPECT_EQ(
        diary->content,
        "上午整理合同档案。<img src=\"http://oa.example.cn:8080/attachment/diary/desk.jpg\">");
    EXPECT_EQ(diary->editable, "1");
    EXPECT_EQ(diary->dia_type_desc, "工作日志");
    EXPECT_FALSE(diary->attachment_id);
    EXPECT_FALSE(diary->attachment_id_arr);
    EXPECT_FALSE(diary->attachment_name_arr);
}

TEST_F(JsonDetail, WithoutServerAddressTheContentIsKept) {
    GlobalVar::getInstance_global().setOa(std::nullopt);
    auto notice = parser.notifyDetail(
        std::string(R"({"content":"<img src=\"/a.png\">","attachment_id":"5"})"));
    EXPECT_EQ(notice->content, "<img src=\"/a.png\">");
    // Ids without names: the id list stands, the name list is absent.
    EXPECT_EQ(notice->attachment_id_arr, Texts{"5"});
    EXPECT_FALSE(notice->attachment_name_arr);
}

TEST_F(JsonDetail, NamesWithoutIdsGiveNoLists) {
    auto mail = parser.emailDetail(std::string(R"({"attachment_name":"a.doc*"})"));
    EXPECT_EQ(mail->attachment_name, "a.doc*");
    EXPECT_FALSE(mail->attachment_id_arr);
    EXPECT_FALSE(mail->attachment_name_arr);
}

TEST_F(JsonDetail, FileDetailShowsTheLastObjectOnly) {
    for (const char* key : {"file_folder", "public_folder"}) {
        SCOPED_TRACE(key);
        auto file = std::dynamic_pointer_cast<FileDetailVO>(
            parser.splitString(readReply("file_detail_two.json"), key));
        ASSERT_TRUE(file);
        FileDetailVO expected;
        expected.q_id = "18";
        expected.subject = "员工手册";
        expected.send_time = "2013-03-02";
        expected.content = "<p>请全体员工认真阅读。</p>";
        expected.has_attachment = "0";
        // Nothing of the first object's attachments survives.
        EXPECT_EQ(*file, expected);
    }
}

TEST_F(JsonDetail, FileDetailOfAnythingButANonEmptyArrayIsEmpty) {
    for (const char* reply : {"[]", R"({"q_id":"18","subject":"员工手册"})", "NONEWDATA"}) {
        SCOPED_TRACE(reply);
        EXPECT_EQ(*parser.fileDetail(std::string(reply)), FileDetailVO());
    }
}

// An empty reply is a plain BaseVO, which callers return without asking for attachments; a
// failed transfer or an unreadable reply is the module's own record with nothing in it.
TEST_F(JsonDetail, EmptyReplyDiffersFromAFailedOne) {
    struct Case {
        const char* key;
        bool (*isModuleRecord)(const std::shared_ptr<BaseVO>&);
    };
    auto isA = []<class R>(R*) {
        return +[](const std::shared_ptr<BaseVO>& r) {
            auto typed = std::dynamic_pointer_cast<R>(r);
            return typed && *typed == R();
        };
    };
    const Case cases[] = {
        {"email", isA(static_cast<EmailDetailVO*>(nullptr))},
        {"notify", isA(static_cast<NotifyDetailVO*>(nullptr))},
        {"news", isA(static_cast<NewsDetailVO*>(nullptr))},
        {"diary", isA(static_cast<DiaryDetailVO*>(nullptr))},
        {"file_folder", isA(static_cast<FileDetailVO*>(nullptr))},
        {"public_folder", isA(static_cast<FileDetailVO*>(nullptr))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::shared_ptr<BaseVO> empty = parser.splitString(std::string(), c.key);
        ASSERT_TRUE(empty);
        EXPECT_EQ(typeid(*empty), typeid(BaseVO));
        EXPECT_FALSE(empty->q_id);
        EXPECT_TRUE(c.isModuleRecord(parser.splitString(std::nullopt, c.key)));
        EXPECT_TRUE(c.isModuleRecord(parser.splitString(std::string("<b>Fatal error</b>"), c.key)));
    }
}

TEST_F(JsonDetail, ModulesWithoutDetailGiveNothingButTheEmptyReplyStillGivesABaseVO) {
    for (const char* key : {"workflow", "calendar", "address", "tel_no", "user", "weather", "x"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(parser.splitString(readReply("email_detail.json"), key));
        EXPECT_FALSE(parser.splitString(std::nullopt, key));
        auto empty = parser.splitString(std::string(), key);
        ASSERT_TRUE(empty);
        EXPECT_EQ(typeid(*empty), typeid(BaseVO));
    }
}

}  // namespace
}  // namespace oa

// The kind of a submitted diary: "dia_type" when the client sends it, else what the proposed
// title says; a kind the server does not know stores nothing.
#include <gtest/gtest.h>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class DiaryKindTest : public ServerFixture {
protected:
    // Submits a diary as the client does and returns the stored entry's kind as the detail
    // shows it, or the reply's status when it was refused.
    std::string kindOf(const std::string& subject, const std::optional<std::string>& kind) {
        Fields fields{{"P", session_},         {"q_id", ""},           {"dia_time", ""},
                      {"editable", ""},        {"has_attachment", ""}, {"attachment_id", ""},
                      {"attachment_name", ""}, {"dia_type_desc", ""},  {"dia_date", "2013-06-28"},
                      {"subject", subject},    {"content", "内容"}};
        if (kind) {
            fields.emplace_back("dia_type", *kind);
        }
        const auto result = post("/mobile/diary/submit.php", fields);
        if (!result || result->status != 200) {
            return result ? "HTTP " + std::to_string(result->status) : "no answer";
        }
        const auto reply = nlohmann::json::parse(result->body, nullptr, false);
        const auto detail = postJson(
            "/mobile/diary/data.php",
            {{"ATYPE", "getDiaryContent"}, {"P", session_}, {"Q_ID", reply.value("q_id", "")}});
        return detail.value("dia_type_desc", "");
    }

    void SetUp() override {
        ServerFixture::SetUp();
        session_ = signIn("wanghao");
        ASSERT_FALSE(session_.empty());
    }

    std::string session_;
};

TEST_F(DiaryKindTest, TheSentKindWinsOverTheTitle) {
    // A title typed by the user says nothing about the kind the switch shows.
    EXPECT_EQ(kindOf("王浩2013-06-28工作日志", "2"), "个人日志");
    EXPECT_EQ(kindOf("周末读书笔记 个人日志", "1"), "工作日志");
    EXPECT_EQ(kindOf("随手记", "2"), "个人日志");
}

TEST_F(DiaryKindTest, WithoutAKindTheProposedTitleDecides) {
    EXPECT_EQ(kindOf("王浩2013-06-28个人日志", std::nullopt), "个人日志");
    EXPECT_EQ(kindOf("王浩2013-06-28工作日志", std::nullopt), "工作日志");
    EXPECT_EQ(kindOf("王浩2013-06-28个人日志", ""), "个人日志");
}

TEST_F(DiaryKindTest, AnUnknownKindIsRefusedAndStoresNothing) {
    const std::string before =
        listPage("/mobile/diary/data.php", session_, "loadList", {{"FTYPE", "diary"}});
    for (const char* kind : {"3", "0", "personal", " 2"}) {
        EXPECT_EQ(kindOf("王浩2013-06-28工作日志", std::string(kind)), "HTTP 400") << kind;
    }
    EXPECT_EQ(listPage("/mobile/diary/data.php", session_, "loadList", {{"FTYPE", "diary"}}),
              before);
}

}  // namespace
}  // namespace oa::test

// Lookups in the module catalogue and the reminder kinds.
#include "core/protocol/ModuleCatalogue.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

namespace oa {
namespace {

TEST(ModuleCatalogue, KeysComeInCanonicalOrder) {
    const std::vector<std::string> expected = {"email",    "notify", "news",        "workflow",
                                               "calendar", "diary",  "file_folder", "public_folder",
                                               "address",  "tel_no", "user",        "weather"};
    EXPECT_EQ(ModuleCatalogue::keys(), expected);
}

TEST(ModuleCatalogue, UnknownKeysSelectNothing) {
    for (std::string_view key : {"", "Email", "email ", "sms", "message", "file"}) {
        SCOPED_TRACE(std::string(key));
        EXPECT_FALSE(ModuleCatalogue::contains(key));
        EXPECT_FALSE(ModuleCatalogue::listPage(key));
        EXPECT_FALSE(ModuleCatalogue::isPublicList(key));
        EXPECT_FALSE(ModuleCatalogue::listParser(key));
        EXPECT_FALSE(ModuleCatalogue::detailType(key));
        EXPECT_FALSE(ModuleCatalogue::detailParser(key));
        EXPECT_FALSE(ModuleCatalogue::readPage(key));
        EXPECT_FALSE(ModuleCatalogue::readItemParameter(key));
        EXPECT_FALSE(ModuleCatalogue::webPageFormat(key));
        EXPECT_FALSE(ModuleCatalogue::homeTitle(key));
        EXPECT_FALSE(ModuleCatalogue::homeIcon(key));
        EXPECT_FALSE(ModuleCatalogue::badgeTag(key));
        EXPECT_FALSE(ModuleCatalogue::screenKind(key));
        EXPECT_FALSE(ModuleCatalogue::listLogicClass(key));
        EXPECT_FALSE(ModuleCatalogue::listViewClass(key));
        EXPECT_FALSE(ModuleCatalogue::detailLogicClass(key));
        EXPECT_FALSE(ModuleCatalogue::detailViewClass(key));
        EXPECT_FALSE(ModuleCatalogue::composeTitle(key));
    }
}

TEST(ModuleCatalogue, BadgeTagsFollowKeyOrderExceptThePublicCabinet) {
    int expected = 1005;
    std::set<int> seen;
    for (const std::string& key : ModuleCatalogue::keys()) {
        SCOPED_TRACE(key);
        std::optional<int> tag = ModuleCatalogue::badgeTag(key);
        ASSERT_TRUE(tag);
        if (key == "public_folder") {
            EXPECT_EQ(*tag, 101100);
        } else {
            EXPECT_EQ(*tag, expected++);
        }
        EXPECT_TRUE(seen.insert(*tag).second);
    }
    EXPECT_EQ(expected, 1016);
}

TEST(ModuleCatalogue, TheTwoCabinetsDifferOnlyInTheirListFlagTitleIconAndBadge) {
    EXPECT_TRUE(ModuleCatalogue::isPublicList("public_folder"));
    EXPECT_FALSE(ModuleCatalogue::isPublicList("file_folder"));
    EXPECT_EQ(ModuleCatalogue::listPage("public_folder"), "/mobile/file_folder/data.php");
    EXPECT_EQ(ModuleCatalogue::listPage("public_folder"), ModuleCatalogue::listPage("file_folder"));
    EXPECT_EQ(ModuleCatalogue::listParser("public_folder"), ListParserKind::file);
    EXPECT_EQ(ModuleCatalogue::listParser("file_folder"), ListParserKind::file);
    EXPECT_EQ(ModuleCatalogue::detailType("public_folder"), "getFileContent");
    EXPECT_EQ(ModuleCatalogue::detailParser("public_folder"), DetailParserKind::fileDetail);
    EXPECT_EQ(ModuleCatalogue::readPage("public_folder"), "/mobile/file_folder/read.php");
    EXPECT_EQ(ModuleCatalogue::readItemParameter("public_folder"), "CONTENT_ID");
    EXPECT_EQ(ModuleCatalogue::listViewClass("public_folder"), "FileView");
    EXPECT_EQ(ModuleCatalogue::detailViewClass("file_folder"), "FileDetailView");
    EXPECT_EQ(ModuleCatalogue::homeTitle("public_folder"), "公共文件柜");
    EXPECT_EQ(ModuleCatalogue::homeTitle("file_folder"), "个人文件柜");
    EXPECT_EQ(ModuleCatalogue::homeIcon("public_folder"), "public_file");
}

// A module with a detail request must have a page to read the item, and the read page needs its
// item parameter; the web-page and lookup modules have neither.
TEST(ModuleCatalogue, DetailColumnsAreConsistent) {
    for (const std::string& key : ModuleCatalogue::keys()) {
        SCOPED_TRACE(key);
        bool hasDetail = ModuleCatalogue::detailType(key).has_value();
        EXPECT_EQ(hasDetail, ModuleCatalogue::detailParser(key).has_value());
        EXPECT_EQ(hasDetail, ModuleCatalogue::readPage(key).has_value());
        EXPECT_EQ(hasDetail, ModuleCatalogue::readItemParameter(key).has_value());
        if (ModuleCatalogue::screenKind(key) != ScreenKind::moduleList) {
            EXPECT_FALSE(hasDetail);
        }
    }
    EXPECT_EQ(ModuleCatalogue::screenKind("workflow"), ScreenKind::workflowPage);
    EXPECT_EQ(ModuleCatalogue::webPageFormat("workflow"), "%@/mobile/workflow/?P=%@");
    EXPECT_EQ(ModuleCatalogue::listParser("workflow"), ListParserKind::notify);
    EXPECT_FALSE(ModuleCatalogue::listPage("user"));
    EXPECT_FALSE(ModuleCatalogue::listParser("weather"));
    EXPECT_EQ(ModuleCatalogue::screenKind("weather"), ScreenKind::lookupScreen);
    EXPECT_EQ(ModuleCatalogue::listLogicClass("weather"), "WeatherBO");
}

TEST(ModuleCatalogue, OnlyEmailCalendarAndDiaryListsHaveAComposeButton) {
    std::map<std::string, std::string> titles;
    for (const std::string& key : ModuleCatalogue::keys()) {
        if (auto title = ModuleCatalogue::composeTitle(key)) {
            titles[key] = *title;
        }
    }
    const std::map<std::string, std::string> expected = {
        {"calendar", "新建"}, {"diary", "写日志"}, {"email", "写邮件"}};
    EXPECT_EQ(titles, expected);
}

struct ReminderCase {
    std::string smsType;
    std::optional<ReminderTarget> target;
};

void PrintTo(const ReminderCase& c, std::ostream* out) {
    *out << "sms_type " << c.smsType;
}

class ReminderKinds : public testing::TestWithParam<ReminderCase> {};

TEST_P(ReminderKinds, OpenTheirModuleWithItsHomeTitle) {
    const ReminderCase& c = GetParam();
    EXPECT_EQ(ModuleCatalogue::reminderModule(std::string_view(c.smsType)), c.target);
}

const ReminderTarget kWorkflow{"workflow", "工作流"};

INSTANTIATE_TEST_SUITE_P(
    ModuleCatalogue, ReminderKinds,
    testing::Values(ReminderCase{"1", ReminderTarget{"notify", "公告通知"}},
                    ReminderCase{"2", ReminderTarget{"email", "电子邮件"}},
                    ReminderCase{"5", ReminderTarget{"calendar", "日程安排"}},
                    ReminderCase{"7", kWorkflow}, ReminderCase{"40", kWorkflow},
                    ReminderCase{"41", kWorkflow},
                    ReminderCase{"13", ReminderTarget{"diary", "工作日志"}},
                    ReminderCase{"14", ReminderTarget{"news", "内部新闻"}},
                    // Kinds outside the table open the reminder's own web address.
                    ReminderCase{"3", std::nullopt}, ReminderCase{"0", std::nullopt},
                    ReminderCase{"", std::nullopt}, ReminderCase{"abc", std::nullopt},
                    ReminderCase{"4294967309", std::nullopt},  // 13 after 32-bit wrap-around
                    ReminderCase{"-13", std::nullopt}));

}  // namespace
}  // namespace oa

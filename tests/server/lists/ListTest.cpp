// Module lists, details, read pages and attachments: paging to "NONEWDATA"/"NOMOREDATA", the
// keys each list parser reads, read state lowering the counters, and the attachment links the
// client's web views catch.
#include <gtest/gtest.h>

#include <set>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class ListTest : public ServerFixture {
protected:
    std::vector<long> ids(const std::string& reply) {
        std::vector<long> out;
        const auto items = nlohmann::json::parse(reply, nullptr, false);
        if (items.is_array()) {
            for (const auto& item : items) {
                out.push_back(std::stol(item.value("q_id", "-1")));
            }
        }
        return out;
    }

    nlohmann::json moduleCounters(const std::string& uid, const std::string& session) {
        return counters(uid, session).value("module", nlohmann::json::array({nullptr}))[0];
    }
};

TEST_F(ListTest, PagesWalkTheInboxNewestFirstToNoMoreData) {
    const std::string session = signIn("wangjianguo");
    const std::string page = "/mobile/email/data.php";
    std::vector<long> all = ids(listPage(page, session, "loadList"));
    ASSERT_EQ(all.size(), 10u);
    while (true) {
        const std::string reply =
            listPage(page, session, "getMore", {{"CURRITERMS", std::to_string(all.size())}});
        if (reply == "NOMOREDATA") {
            break;
        }
        const auto more = ids(reply);
        ASSERT_FALSE(more.empty()) << reply;
        ASSERT_LE(more.size(), 10u);
        all.insert(all.end(), more.begin(), more.end());
        ASSERT_LT(all.size(), 100u);
    }
    EXPECT_EQ(all.size(), 23u);  // the seeded inbox of wangjianguo
    EXPECT_TRUE(std::is_sorted(all.rbegin(), all.rend()));
    EXPECT_EQ(std::set<long>(all.begin(), all.end()).size(), all.size()) << "no item twice";

    // Nothing is newer than the newest item; a new mail is exactly what getNew brings.
    const std::string newest = std::to_string(all.front());
    EXPECT_EQ(listPage(page, session, "getNew", {{"LATEST_ID", newest}}), "NONEWDATA");
    const std::string mailId = adminEvent(
        {{"kind", "email"}, {"to", "wangjianguo"}, {"from", "zhouhong"}, {"subject", "加急"}});
    const auto fresh = nlohmann::json::parse(
        listPage(page, session, "getNew", {{"LATEST_ID", newest}}), nullptr, false);
    ASSERT_TRUE(fresh.is_array());
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0]["q_id"], mailId);
    EXPECT_EQ(fresh[0]["subject"], "加急");
    EXPECT_EQ(fresh[0]["from_name"], "周红");
    EXPECT_EQ(fresh[0]["read_flag"], "0");
    // The older pages moved down by one: an offset past the end is still empty.
    EXPECT_EQ(listPage(page, session, "getMore", {{"CURRITERMS", "24"}}), "NOMOREDATA");
    // LATEST_ID 0 (a client without a newest id) gets every item up to the limit.
    EXPECT_EQ(ids(listPage(page, session, "getNew", {{"LATEST_ID", "0"}})).size(), 24u);
}

// Every module list answers a JSON array whose objects carry the keys its list parser reads.
struct ListCase {
    std::string page;
    Fields extra;
    std::vector<std::string> keys;
};

class ListKeysTest : public ListTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ListKeysTest, FirstPageCarriesTheParsersKeysAsTexts) {
    const ListCase& c = GetParam();
    const std::string session = signIn("zhangwei");
    const auto items =
        nlohmann::json::parse(listPage(c.page, session, "loadList", c.extra), nullptr, false);
    ASSERT_TRUE(items.is_array()) << c.page;
    ASSERT_FALSE(items.empty());
    for (const auto& item : items) {
        for (const std::string& key : c.keys) {
            ASSERT_TRUE(item.contains(key)) << c.page << " lacks " << key << ": " << item.dump();
            EXPECT_TRUE(item[key].is_string()) << key;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, ListKeysTest,
    ::testing::Values(ListCase{"/mobile/email/data.php",
                               {},
                               {"q_id", "read_flag", "subject", "important_desc", "send_time",
                                "from_name", "has_attachment"}},
                      ListCase{"/mobile/notify/data.php",
                               {},
                               {"q_id", "read_flag", "subject", "subject_color", "top", "send_time",
                                "from_name", "has_attachment"}},
                      ListCase{"/mobile/news/data.php",
                               {},
                               {"q_id", "read_flag", "subject", "subject_color", "send_time",
                                "from_name", "click_count", "has_attachment"}},
                      ListCase{"/mobile/calendar/data.php",
                               {},
                               {"q_id", "cal_time", "end_time", "cal_level_desc", "cal_level_color",
                                "cal_type", "content"}},
                      ListCase{"/mobile/diary/data.php",
                               {{"FTYPE", "diary"}},
                               {"q_id", "subject", "content", "has_attachment"}},
                      ListCase{"/mobile/file_folder/data.php",
                               {{"FTYPE", "personal"}},
                               {"q_id", "file_type", "name", "file_ext", "send_time",
                                "has_attachment", "now_sort", "parent_sort"}},
                      ListCase{"/mobile/file_folder/data.php",
                               {{"FTYPE", "public"}},
                               {"q_id", "file_type", "name", "file_ext", "send_time",
                                "has_attachment"}}));

TEST_F(ListTest, ReadingLowersTheCountersAndMarksTheRow) {
    const std::string session = signIn("wangjianguo");
    const auto before = moduleCounters("1", session);
    ASSERT_TRUE(before.is_object());
    EXPECT_EQ(before["email"], "4");

    const auto first = postJson("/mobile/email/data.php",
                                {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}});
    std::string unread;
    for (const auto& item : first) {
        if (item["read_flag"] == "0") {
            unread = item["q_id"];
            break;
        }
    }
    ASSERT_FALSE(unread.empty());
    const auto detail = postJson("/mobile/email/data.php",
                                 {{"ATYPE", "getEmailContent"}, {"P", session}, {"Q_ID", unread}});
    EXPECT_EQ(detail["q_id"], unread);
    EXPECT_EQ(moduleCounters("1", session)["email"], "3");
    // Reading twice counts once.
    postText("/mobile/email/read.php", {{"P", session}, {"EMAIL_ID", unread}});
    EXPECT_EQ(moduleCounters("1", session)["email"], "3");
    for (const auto& item :
         postJson("/mobile/email/data.php",
                  {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}})) {
        if (item["q_id"] == unread) {
            EXPECT_EQ(item["read_flag"], "1");
        }
    }

    // A notice read through its read page, a news item through its detail.
    const int notices = std::stoi(before["notify"].get<std::string>());
    const auto page = post("/mobile/notify/read.php", {{"P", session}, {"NOTIFY_ID", "8"}});
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("本周五下午全员大会通知"), std::string::npos);
    EXPECT_EQ(moduleCounters("1", session)["notify"], std::to_string(notices - 1));

    const auto newsBefore = postJson("/mobile/news/data.php",
                                     {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}});
    const std::string clicks = newsBefore[0]["click_count"];
    const auto news =
        postJson("/mobile/news/data.php",
                 {{"ATYPE", "getNewsContent"}, {"P", session}, {"Q_ID", newsBefore[0]["q_id"]}});
    EXPECT_EQ(news["click_count"], std::to_string(std::stoi(clicks) + 1));
    EXPECT_EQ(moduleCounters("1", session)["news"],
              std::to_string(std::stoi(before["news"].get<std::string>()) - 1));

    // The e-mail's reminder went with it.
    const auto reminders = postText("/mobile/sms/data.php",
                                    {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}});
    EXPECT_EQ(reminders.find("EMAIL_ID=" + unread + "\""), std::string::npos);
}

TEST_F(ListTest, DetailAttachmentsLeadToTheFileThroughMessageLinks) {
    const std::string session = signIn("wangjianguo");
    // E-mail 20 carries the picture "覆盖率.png"; e-mail 14 a spreadsheet.
    struct Case {
        std::string emailId;
        char category;
        std::string mime;
        std::string magic;
    };
    for (const Case& c : {Case{"20", '1', "image/png", "\x89PNG"},
                          Case{"14", '0', "application/vnd.ms-excel", "<?xml"}}) {
        const auto detail =
            postJson("/mobile/email/data.php",
                     {{"ATYPE", "getEmailContent"}, {"P", session}, {"Q_ID", c.emailId}});
        ASSERT_EQ(detail.value("has_attachment", ""), "1");
        const std::string ids = detail["attachment_id"], names = detail["attachment_name"];
        ASSERT_EQ(ids.back(), ',');
        ASSERT_EQ(names.back(), '*');
        const std::string id = ids.substr(0, ids.find(','));
        const std::string name = names.substr(0, names.find('*'));

        const std::string snippet =
            postText("/mobile/attach.php",
                     {{"P", session}, {"ATTACHMENT_ID", id}, {"ATTACHMENT_NAME", name}});
        const auto start = snippet.find("href=\"message:");
        ASSERT_NE(start, std::string::npos) << snippet;
        std::string link = snippet.substr(start + 6, snippet.find('"', start + 6) - start - 6);
        // The link's category is at position 8, its path from position 10.
        EXPECT_EQ(link[8], c.category);
        std::string path = link.substr(10);
        for (auto at = path.find("&amp;"); at != std::string::npos; at = path.find("&amp;")) {
            path.replace(at, 5, "&");
        }
        ASSERT_EQ(path.front(), '/');
        const auto file = client()->Get(path);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, 200);
        EXPECT_EQ(file->get_header_value("Content-Type").rfind(c.mime, 0), 0u);
        EXPECT_EQ(file->body.rfind(c.magic, 0), 0u);
    }
    // An attachment of someone else's mail, or with the wrong name, is not handed out.
    const std::string other = signIn("yangfan", "Lucky2013");
    for (const auto& [who, id, name] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {other, "5", "六月资金预算.xls"}, {session, "5", "other.xls"}}) {
        const auto reply = post("/mobile/attach.php",
                                {{"P", who}, {"ATTACHMENT_ID", id}, {"ATTACHMENT_NAME", name}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 404);
        EXPECT_EQ(reply->body.find("message:"), std::string::npos);
    }
}

TEST_F(ListTest, ReadPagesShowTheItemAndItsPictures) {
    const std::string session = signIn("wangjianguo");
    const auto notice = post("/mobile/notify/read.php", {{"P", session}, {"NOTIFY_ID", "3"}});
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->body.find("公司组织架构调整的决定"), std::string::npos);
    EXPECT_NE(notice->body.find("img src=\"/mobile/images/org_chart.png\""), std::string::npos);
    EXPECT_NE(notice->body.find("message:0:"), std::string::npos) << "the PDF attachment";
    // Inline pictures load without a session (web views send none of our cookies).
    for (const char* picture :
         {"/mobile/images/org_chart.png", "/mobile/images/news_meeting.png"}) {
        const auto image = client()->Get(picture);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->status, 200) << picture;
        EXPECT_EQ(image->body.rfind("\x89PNG", 0), 0u);
    }
    EXPECT_EQ(client()->Get("/mobile/images/../../etc/passwd")->status, 404);

    const auto diary = post("/mobile/diary/read.php", {{"P", session}, {"DIA_ID", "8"}});
    ASSERT_TRUE(diary);
    EXPECT_NE(diary->body.find("审阅二季度财务报表"), std::string::npos);
    // Another department's unshared diary is not shown.
    const auto foreign = post("/mobile/diary/read.php", {{"P", session}, {"DIA_ID", "4"}});
    EXPECT_EQ(foreign->status, 404);
}

TEST_F(ListTest, DiaryKindsAndSharing) {
    // zhangwei's department shares diaries; the finance department shares none; the newcomer
    // has written none.
    const std::string zhangwei = signIn("zhangwei");
    const auto own = postJson(
        "/mobile/diary/data.php",
        {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", zhangwei}, {"FTYPE", "diary"}});
    ASSERT_TRUE(own.is_array());
    EXPECT_EQ(own.size(), 3u);
    const auto shared = postJson(
        "/mobile/diary/data.php",
        {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", zhangwei}, {"FTYPE", "share"}});
    ASSERT_TRUE(shared.is_array());
    for (const auto& item : shared) {
        EXPECT_EQ(item["user_name"], "李娜");
    }
    EXPECT_EQ(
        listPage("/mobile/diary/data.php", signIn("zhouhong"), "loadList", {{"FTYPE", "share"}}),
        "NOMOREDATA");
    EXPECT_EQ(listPage("/mobile/diary/data.php", signIn("yangfan", "Lucky2013"), "loadList",
                       {{"FTYPE", "diary"}}),
              "NOMOREDATA");
    const auto detail =
        postJson("/mobile/diary/data.php",
                 {{"ATYPE", "getDiaryContent"}, {"P", zhangwei}, {"Q_ID", shared[0]["q_id"]}});
    EXPECT_EQ(detail["editable"], "0");
    EXPECT_EQ(detail["dia_type_desc"], "工作日志");
}

TEST_F(ListTest, CabinetFoldersOpenByIdAndStayPrivate) {
    const std::string boss = signIn("wangjianguo");
    const auto top =
        postJson("/mobile/file_folder/data.php",
                 {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", boss}, {"FTYPE", "public"}});
    ASSERT_TRUE(top.is_array());
    std::string rules, empty;
    for (const auto& item : top) {
        if (item["name"] == "规章制度") {
            rules = item["q_id"];
        } else if (item["name"] == "宣传资料") {
            empty = item["q_id"];
        }
    }
    ASSERT_FALSE(rules.empty());
    const auto inside = postJson("/mobile/file_folder/data.php",
                                 {{"ATYPE", "getListContent"}, {"P", boss}, {"P_ID", rules}});
    ASSERT_TRUE(inside.is_array());
    ASSERT_EQ(inside.size(), 3u);
    EXPECT_EQ(inside[0]["file_type"], "folder");
    EXPECT_EQ(inside[2]["file_ext"], "pdf");
    EXPECT_EQ(inside[0]["parent_sort"], rules);
    EXPECT_EQ(postText("/mobile/file_folder/data.php",
                       {{"ATYPE", "getListContent"}, {"P", boss}, {"P_ID", empty}}),
              "[]");

    const auto file =
        postJson("/mobile/file_folder/data.php",
                 {{"ATYPE", "getFileContent"}, {"P", boss}, {"P_ID", inside[2]["q_id"]}});
    ASSERT_TRUE(file.is_array());
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0]["subject"], "公司章程");
    EXPECT_EQ(file[0]["attachment_name"], "公司章程.pdf*");

    // zhangwei's personal folder, by Q_ID: his to open, nobody else's.
    const std::string zhangwei = signIn("zhangwei");
    const auto mine = postJson(
        "/mobile/file_folder/data.php",
        {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", zhangwei}, {"FTYPE", "personal"}});
    ASSERT_TRUE(mine.is_array());
    const std::string folder = mine.back()["q_id"];
    EXPECT_TRUE(postJson("/mobile/file_folder/data.php",
                         {{"ATYPE", "getListContent"}, {"P", zhangwei}, {"Q_ID", folder}})
                    .is_array());
    const auto refused = post("/mobile/file_folder/data.php",
                              {{"ATYPE", "getListContent"}, {"P", boss}, {"Q_ID", folder}});
    EXPECT_EQ(refused->status, 404);
}

TEST_F(ListTest, RemindersListUnreadOnesAndReadSmsRemovesThem) {
    const std::string session = signIn("wangjianguo");
    const Fields list{{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}};
    const auto before = postJson("/mobile/sms/data.php", list);
    ASSERT_TRUE(before.is_array());
    std::set<std::string> kinds;
    for (const auto& item : before) {
        kinds.insert(item["sms_type"].get<std::string>());
        EXPECT_FALSE(item["sms_url"].get<std::string>().empty());
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"0", "1", "2", "3", "5", "7", "13", "14", "40"}));

    const std::string first = before[0]["q_id"];
    EXPECT_EQ(
        postText("/mobile/sms/data.php", {{"ATYPE", "readsms"}, {"SMS_ID", first}, {"P", session}}),
        "OK");
    const auto after = postJson("/mobile/sms/data.php", list);
    EXPECT_EQ(after.size(), before.size() - 1);
    EXPECT_NE(after[0]["q_id"], first);
    // Someone else's reminder cannot be marked.
    const auto other =
        post("/mobile/sms/data.php", {{"ATYPE", "readsms"}, {"SMS_ID", "12"}, {"P", session}});
    EXPECT_EQ(other->status, 404);
}

}  // namespace
}  // namespace oa::test

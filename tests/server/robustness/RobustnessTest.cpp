// The server facing a client under test: malformed and hostile requests get an error reply and
// change nothing, random input never takes it down, uploads are limited, and concurrent
// requests stay consistent.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <thread>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class RobustnessTest : public ServerFixture {};

TEST_F(RobustnessTest, MalformedRequestsGetAnErrorAndChangeNothing) {
    const std::string session = signIn("wangjianguo");
    const std::string inbox = listPage("/mobile/email/data.php", session, "loadList");
    const auto countersBefore = counters("1", session);

    const std::vector<std::pair<std::string, Fields>> requests = {
        {"/mobile/email/data.php", {}},
        {"/mobile/email/data.php", {{"ATYPE", "dropTable"}}},
        {"/mobile/email/data.php", {{"ATYPE", "refreshList"}}},
        {"/mobile/email/data.php",
         {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "abc"}}},
        {"/mobile/email/data.php",
         {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "-1"}}},
        {"/mobile/email/data.php",
         {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "1 OR 1=1"}}},
        {"/mobile/email/data.php",
         {{"ATYPE", "refreshList"}, {"A", "getMore"}, {"CURRITERMS", "99999999999999999999"}}},
        {"/mobile/email/data.php",
         {{"ATYPE", "getEmailContent"}, {"Q_ID", "1;DELETE FROM emails"}}},
        {"/mobile/email/data.php", {{"ATYPE", "getEmailContent"}, {"Q_ID", ""}}},
        {"/mobile/email/data.php", {{"ATYPE", "getEmailContent"}, {"Q_ID", "5"}}},  // not his
        {"/mobile/notify/data.php", {{"ATYPE", "getNotifyContent"}, {"Q_ID", "999"}}},
        {"/mobile/news/data.php", {{"ATYPE", "getNewsContent"}, {"Q_ID", "x"}}},
        {"/mobile/diary/data.php", {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"FTYPE", "all"}}},
        {"/mobile/file_folder/data.php",
         {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"FTYPE", "../etc"}}},
        {"/mobile/file_folder/data.php", {{"ATYPE", "getListContent"}, {"P_ID", "abc"}}},
        {"/mobile/file_folder/data.php", {{"ATYPE", "getListContent"}, {"P_ID", "3"}}},  // a file
        {"/mobile/message/data.php", {}},
        {"/mobile/message/data.php", {{"ATYPE", "getDialogList"}, {"Q_ID", "0x10"}}},
        {"/mobile/sms/data.php", {{"ATYPE", "readsms"}, {"SMS_ID", "'"}}},
        {"/mobile/attach.php", {{"ATTACHMENT_ID", "../../demo.sqlite3"}, {"ATTACHMENT_NAME", "x"}}},
        {"/mobile/inc/attach_file.php", {{"ATTACHMENT_ID", "1"}, {"ATTACHMENT_NAME", "../x"}}},
        {"/corvane/im/down.php", {{"ATTACHMENT_ID", ""}, {"ATTACHMENT_NAME", ""}}},
        {"/mobile/services_count.php", {{"UID", "abc"}}},
        {"/mobile/address/data.php", {}},
        {"/mobile/tel_no/data.php", {{"ATYPE", "getTelNoList;"}}},
        {"/mobile/user_info/data.php", {{"Q_ID", "1 UNION SELECT password FROM users"}}},
        {"/mobile/diary/submit.php", {{"dia_date", "2013-02-30"}, {"subject", "x"}}},
        {"/mobile/calendar/submit.php", {{"cal_time", "x"}}},
        {"/demo/admin/event", {{"kind", "virus"}}},
    };
    for (const auto& [path, fields] : requests) {
        Fields withSession = fields;
        withSession.emplace_back("P", session);
        const auto reply = post(path, withSession, adminHeaders());
        ASSERT_TRUE(reply) << path;
        EXPECT_GE(reply->status, 400)
            << path << " " << (fields.empty() ? "" : fields.back().second);
        EXPECT_LT(reply->status, 500) << path << ": " << reply->body;
        EXPECT_TRUE(nlohmann::json::parse(reply->body, nullptr, false).is_discarded()) << path;
    }
    EXPECT_EQ(listPage("/mobile/email/data.php", session, "loadList"), inbox);
    EXPECT_EQ(counters("1", session), countersBefore);
}

TEST_F(RobustnessTest, TextThatIsNotUtf8IsStoredAndListedAsValidJson) {
    const std::string lina = signIn("lina");
    const std::string broken = std::string("半个字\xE4\xB8 ok \xFF\xFE") + '\0' + "end";
    ASSERT_EQ(
        postJson("/mobile/message/data.php",
                 {{"Q_UID", "9"}, {"CONTENT", broken}, {"ATYPE", "sendSignleMsg"}, {"P", lina}})
            .value("status", ""),
        "OK");
    const auto dialog = postJson("/mobile/message/data.php",
                                 {{"Q_ID", "9"}, {"ATYPE", "getDialogList"}, {"P", lina}});
    ASSERT_TRUE(dialog.is_array());
    const std::string content = dialog[0]["content"];
    EXPECT_EQ(content.rfind("半个字", 0), 0u);
    EXPECT_NE(content.find("end"), std::string::npos);
    EXPECT_TRUE(postJson("/mobile/message/data.php",
                         {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", signIn("zhangwei")}})
                    .is_array());
}

TEST_F(RobustnessTest, RandomRequestsNeverBreakTheServer) {
    const std::string session = signIn("wangjianguo");
    const std::vector<std::string> paths = {
        "/mobile/login.php",           "/mobile/email/data.php",
        "/mobile/email/submit.php",    "/mobile/notify/data.php",
        "/mobile/news/read.php",       "/mobile/diary/submit.php",
        "/mobile/calendar/submit.php", "/mobile/file_folder/data.php",
        "/mobile/message/data.php",    "/corvane/im/upload.php",
        "/mobile/sms/data.php",        "/mobile/inc/get_contactlist.php",
        "/mobile/address/data.php",    "/mobile/go.php",
        "/mobile/attach.php",          "/demo/admin/event"};
    const std::vector<std::string> keys = {
        "ATYPE",      "A",       "Q_ID",   "P_ID",  "LATEST_ID",
        "CURRITERMS", "CONTENT", "TO_UID", "to_id", "MobileWebViewURL",
        "kind",       "to",      "FTYPE",  "KWORD", "dia_date",
        "cal_time"};
    const std::vector<std::string> words = {"refreshList",
                                            "loadList",
                                            "getNew",
                                            "getMore",
                                            "getEmailContent",
                                            "sendSignleMsg",
                                            "mutiSend",
                                            "getListContent",
                                            "1",
                                            "0",
                                            "-5",
                                            "9",
                                            "",
                                            "email"};
    std::mt19937 random(2013);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int i = 0; i < 300; ++i) {
        Fields fields;
        if (random() % 4 != 0) {
            fields.emplace_back("P", session);
        }
        for (int n = static_cast<int>(random() % 5); n > 0; --n) {
            std::string value = pick(words);
            if (random() % 3 == 0) {
                value.resize(random() % 40);
                for (char& c : value) {
                    c = static_cast<char>(random());
                }
            }
            fields.emplace_back(pick(keys), value);
        }
        const std::string path = pick(paths);
        const auto reply = post(path, fields, adminHeaders());
        ASSERT_TRUE(reply) << path;
        ASSERT_NE(reply->status, 500) << path << ": " << reply->body;
    }
    // Raw bodies that are no valid form at all.
    auto http = client();
    for (const auto& [body, type] : std::vector<std::pair<std::string, std::string>>{
             {"%%%&&==&%ZZ", "application/x-www-form-urlencoded"},
             {"--x\r\nContent-Disposition: form-data\r\n\r\n", "multipart/form-data"},
             {std::string(1000, '\xFF'), "multipart/form-data; boundary=q"},
             {"{\"ATYPE\":\"refreshList\"}", "application/json"}}) {
        const auto reply = http->Post("/mobile/email/data.php?P=" + session, body, type);
        ASSERT_TRUE(reply);
        EXPECT_GE(reply->status, 400);
        EXPECT_LT(reply->status, 500);
    }
    EXPECT_FALSE(signIn("zhangwei").empty()) << "still serving";
}

TEST_F(RobustnessTest, OversizedUploadsAreRefusedWithAClearError) {
    const std::string session = signIn("lina");
    const httplib::MultipartFormDataItems items = {
        {"P", session, "", ""},
        {"to_id", "zhangwei", "", ""},
        {"subject", "大附件", "", ""},
        {"uploadedfile_0", std::string(17 * 1024 * 1024, 'x'), "uploadedfile0.png", "image/png"}};
    const auto reply = client()->Post("/mobile/email/submit.php", items);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 413);
    EXPECT_EQ(reply->body, "ERROR: request larger than 16 MB");
    EXPECT_EQ(listPage("/mobile/email/data.php", signIn("zhangwei"), "loadList").find("大附件"),
              std::string::npos);
}

// Eight clients at once, each listing, reading and sending; every request is answered and
// every message arrives exactly once.
TEST_F(RobustnessTest, ConcurrentClientsStayConsistent) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"wangjianguo", "2"}, {"liuli", "1"},   {"chenjing", "5"}, {"sunyan", "3"},
        {"zhouhong", "7"},    {"wuqiang", "6"}, {"lina", "11"},    {"wanghao", "10"}};
    const std::map<std::string, std::string> uids = {
        {"wangjianguo", "1"}, {"liuli", "2"},   {"chenjing", "3"}, {"sunyan", "5"},
        {"zhouhong", "6"},    {"wuqiang", "7"}, {"lina", "10"},    {"wanghao", "11"}};
    constexpr int kRounds = 15;
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (const auto& [user, partner] : pairs) {
        threads.emplace_back([&, user = user, partner = partner] {
            const std::string session = signIn(user);
            auto http = client();
            http->set_keep_alive(true);
            auto ok = [&](const httplib::Result& r) {
                if (!r || r->status != 200) {
                    ++failures;
                }
            };
            for (int i = 0; i < kRounds; ++i) {
                ok(http->Post(
                    "/mobile/email/data.php",
                    httplib::Params{{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}}));
                ok(http->Post("/mobile/message/data.php",
                              httplib::Params{{"Q_UID", partner},
                                              {"CONTENT", user + " #" + std::to_string(i)},
                                              {"ATYPE", "sendSignleMsg"},
                                              {"P", session}}));
                ok(http->Post(
                    "/mobile/message/data.php",
                    httplib::Params{{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}}));
                ok(http->Post(
                    "/mobile/services_count.php",
                    httplib::Params{{"UID", uids.at(user)}, {"MODULES", "INIT"}, {"P", session}}));
                ok(http->Post(
                    "/mobile/news/data.php",
                    httplib::Params{{"ATYPE", "getNewsContent"}, {"Q_ID", "3"}, {"P", session}}));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    for (const auto& [user, partner] : pairs) {
        const auto dialog =
            postJson("/mobile/message/data.php",
                     {{"Q_ID", partner}, {"ATYPE", "getDialogList"}, {"P", signIn(user)}});
        int mine = 0;
        for (const auto& message : dialog) {
            if (message["content"].get<std::string>().rfind(user + " #", 0) == 0) {
                ++mine;
            }
        }
        EXPECT_EQ(mine, kRounds) << user;
    }
    // Every reader of news item 3 counted once.
    const auto news = postJson(
        "/mobile/news/data.php",
        {{"ATYPE", "getNewsContent"}, {"Q_ID", "3"}, {"P", signIn("yangfan", "Lucky2013")}});
    EXPECT_EQ(news["click_count"], std::to_string(312 + 12));
}

}  // namespace
}  // namespace oa::test

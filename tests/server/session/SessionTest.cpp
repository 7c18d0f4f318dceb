// Sign-in, sessions and cookies, module grants, and the HTTP behaviour every page shares
// (charset, gzip, keep-alive).
#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <thread>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class SessionTest : public ServerFixture {};

TEST_F(SessionTest, SignInAnswersTheSessionAndTheUsersModules) {
    const auto reply = postJson("/mobile/login.php",
                                {{"USERNAME", "zhangwei"}, {"PASSWORD", "123456"}, {"P_VER", "5"}});
    ASSERT_TRUE(reply.is_object());
    EXPECT_EQ(reply["status"], "YES");
    EXPECT_EQ(reply["uid"], "9");
    EXPECT_EQ(reply["login_user_name"], "张伟");
    EXPECT_EQ(reply["ovix_zqim_port"], std::to_string(imPort()));
    EXPECT_FALSE(reply["app_title"].get<std::string>().empty());
    EXPECT_FALSE(reply["zq_ovix_version"].get<std::string>().empty());
    EXPECT_GE(reply["session_id"].get<std::string>().size(), 16u);
    EXPECT_EQ(reply["login_func_str"],
              "email,notify,news,workflow,calendar,diary,file_folder,public_folder,address,tel_no");

    // Every value is a JSON string, as the client stores them as texts.
    for (const auto& [key, value] : reply.items()) {
        EXPECT_TRUE(value.is_string()) << key;
    }

    // A newcomer's account grants fewer modules.
    const auto newcomer = postJson(
        "/mobile/login.php", {{"USERNAME", "yangfan"}, {"PASSWORD", "Lucky2013"}, {"P_VER", "5"}});
    EXPECT_EQ(newcomer["login_func_str"], "email,notify,news,diary");
}

TEST_F(SessionTest, WrongCredentialsAreRefusedWithoutASession) {
    const std::vector<std::pair<std::string, std::string>> attempts = {
        {"zhangwei", "654321"}, {"zhangwei", ""},        {"", "123456"},       {"nobody", "123456"},
        {"ZHANGWEI", "123456"}, {"zhangwei", "123456 "}, {"yangfan", "123456"}};
    for (const auto& [user, password] : attempts) {
        const auto result =
            post("/mobile/login.php", {{"USERNAME", user}, {"PASSWORD", password}, {"P_VER", "5"}});
        ASSERT_TRUE(result);
        const auto reply = nlohmann::json::parse(result->body, nullptr, false);
        EXPECT_EQ(reply.value("status", ""), "NO") << user << "/" << password;
        EXPECT_FALSE(reply.contains("session_id")) << user;
        EXPECT_FALSE(result->has_header("Set-Cookie")) << user;
    }
}

TEST_F(SessionTest, CookieFromSignInWorksInPlaceOfP) {
    const auto login =
        post("/mobile/login.php", {{"USERNAME", "liuli"}, {"PASSWORD", "123456"}, {"P_VER", "5"}});
    ASSERT_TRUE(login);
    const std::string cookie = login->get_header_value("Set-Cookie");
    ASSERT_NE(cookie.find("OA_SESSION="), std::string::npos);
    const std::string pair = cookie.substr(0, cookie.find(';'));

    const auto list = post("/mobile/email/data.php", {{"ATYPE", "refreshList"}, {"A", "loadList"}},
                           {{"Cookie", "theme=blue; " + pair}});
    ASSERT_TRUE(list);
    const auto items = nlohmann::json::parse(list->body, nullptr, false);
    ASSERT_TRUE(items.is_array()) << list->body;
    EXPECT_FALSE(items.empty());

    // An explicit P wins over the cookie: a wrong P is refused even with a good cookie.
    const auto wrongP =
        post("/mobile/email/data.php", {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", "x"}},
             {{"Cookie", pair}});
    ASSERT_TRUE(wrongP);
    EXPECT_TRUE(nlohmann::json::parse(wrongP->body, nullptr, false).is_discarded());
}

// The counters are the signed-in user's own: only that user's session (the cookie, or "P")
// answers them; a session elsewhere does not vouch for the user.
TEST_F(SessionTest, CountersAnswerOnlyTheUsersOwnSession) {
    const std::string zhangwei = signIn("zhangwei");
    const std::string lina = signIn("lina");
    ASSERT_FALSE(zhangwei.empty());
    const auto own = counters("9", zhangwei);
    ASSERT_TRUE(own.contains("module")) << own;
    EXPECT_TRUE(own["module"][0].contains("email"));
    EXPECT_EQ(postJson("/mobile/services_count.php",
                       {{"UID", "9"}, {"MODULES", "INIT"}, {"P", zhangwei}}),
              own);

    struct Attempt {
        std::string what;
        Fields fields;
        httplib::Headers headers;
        int status;
    };
    const std::vector<Attempt> attempts = {
        {"no session", {{"UID", "9"}, {"MODULES", "INIT"}}, {}, 401},
        {"another cookie", {{"UID", "9"}, {"MODULES", "email"}}, {{"Cookie", "theme=blue"}}, 401},
        {"unknown session",
         {{"UID", "9"}, {"MODULES", "INIT"}},
         {{"Cookie", "OA_SESSION=nosuchsession0000000000000"}},
         401},
        {"unknown P", {{"UID", "9"}, {"MODULES", "INIT"}, {"P", "x"}}, {}, 401},
        {"another user's session",
         {{"UID", "9"}, {"MODULES", "INIT"}},
         {{"Cookie", "OA_SESSION=" + lina}},
         403},
    };
    for (const Attempt& attempt : attempts) {
        const auto reply = post("/mobile/services_count.php", attempt.fields, attempt.headers);
        ASSERT_TRUE(reply) << attempt.what;
        EXPECT_EQ(reply->status, attempt.status) << attempt.what;
        EXPECT_TRUE(nlohmann::json::parse(reply->body, nullptr, false).is_discarded())
            << attempt.what << ": " << reply->body;
    }
}

// Each request of a signed-in user repeated with a made-up session: the reply is not JSON and
// the user's data is as before.
TEST_F(SessionTest, UnknownSessionChangesNothing) {
    const std::string liuli = signIn("liuli");
    const std::string boss = signIn("wangjianguo");
    ASSERT_FALSE(liuli.empty());
    ASSERT_FALSE(boss.empty());
    const std::string bogus = "nosuchsession0000000000000";
    const auto before = counters("1", boss);
    const std::string inboxBefore = listPage("/mobile/email/data.php", boss, "loadList");
    const std::string remindersBefore = postText(
        "/mobile/sms/data.php", {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", boss}});
    const std::string dialogBefore = postText(
        "/mobile/message/data.php", {{"Q_ID", "2"}, {"ATYPE", "getDialogList"}, {"P", liuli}});

    const std::vector<std::pair<std::string, Fields>> requests = {
        {"/mobile/email/data.php", {{"ATYPE", "getEmailContent"}, {"Q_ID", "25"}}},
        {"/mobile/email/read.php", {{"EMAIL_ID", "26"}}},
        {"/mobile/notify/data.php", {{"ATYPE", "getNotifyContent"}, {"Q_ID", "8"}}},
        {"/mobile/news/data.php", {{"ATYPE", "getNewsContent"}, {"Q_ID", "6"}}},
        {"/mobile/message/data.php",
         {{"Q_UID", "1"}, {"CONTENT", "冒名"}, {"ATYPE", "sendSignleMsg"}}},
        {"/mobile/message/data.php", {{"Q_ID", "1"}, {"ATYPE", "getDialogList"}}},
        {"/mobile/email/submit.php", {{"to_id", "wangjianguo"}, {"subject", "冒名"}}},
        {"/mobile/sms/data.php", {{"ATYPE", "readsms"}, {"SMS_ID", "9"}}},
        {"/mobile/calendar/submit.php",
         {{"q_id", ""},
          {"cal_time", "09:00"},
          {"end_time", "10:00"},
          {"cal_level", "1"},
          {"cal_type", "1"},
          {"content", "x"}}},
        {"/mobile/update_online_status.php", {{"CLIENT", "5"}}},
    };
    for (const auto& [path, fields] : requests) {
        Fields withSession = fields;
        withSession.emplace_back("P", bogus);
        const auto result = post(path, withSession);
        ASSERT_TRUE(result);
        EXPECT_TRUE(nlohmann::json::parse(result->body, nullptr, false).is_discarded())
            << path << ": " << result->body;
        EXPECT_GE(result->status, 400) << path;
    }
    // Counters of a user that never signed in, and without any session at all.
    EXPECT_TRUE(nlohmann::json::parse(
                    postText("/mobile/services_count.php", {{"UID", "11"}, {"MODULES", "INIT"}}),
                    nullptr, false)
                    .is_discarded());

    EXPECT_EQ(counters("1", boss), before);
    EXPECT_EQ(listPage("/mobile/email/data.php", boss, "loadList"), inboxBefore);
    EXPECT_EQ(postText("/mobile/sms/data.php",
                       {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", boss}}),
              remindersBefore);
    EXPECT_EQ(postText("/mobile/message/data.php",
                       {{"Q_ID", "2"}, {"ATYPE", "getDialogList"}, {"P", liuli}}),
              dialogBefore);
}

TEST_F(SessionTest, ModulesNotGrantedAreRefused) {
    const std::string newcomer = signIn("yangfan", "Lucky2013");
    ASSERT_FALSE(newcomer.empty());
    for (const std::string page : {"/mobile/calendar/data.php", "/mobile/address/data.php"}) {
        const auto reply =
            nlohmann::json::parse(listPage(page, newcomer, "loadList"), nullptr, false);
        EXPECT_TRUE(reply.is_discarded()) << page;
    }
    const auto cabinet =
        listPage("/mobile/file_folder/data.php", newcomer, "loadList", {{"FTYPE", "public"}});
    EXPECT_TRUE(nlohmann::json::parse(cabinet, nullptr, false).is_discarded());
    // The modules every user has still answer.
    EXPECT_TRUE(
        postJson("/mobile/weather/data.php", {{"P", newcomer}, {"CITY_NAME", "北京"}}).is_array());
    const auto granted = counters("12", newcomer);
    ASSERT_TRUE(granted.contains("module"));
    EXPECT_FALSE(granted["module"][0].contains("calendar"));
    EXPECT_TRUE(granted["module"][0].contains("email"));
}

TEST_F(SessionTest, RepliesNameUtf8AndAreGzippedWhenAccepted) {
    const std::string session = signIn("wangjianguo");
    struct Case {
        std::string path;
        Fields fields;
        std::string type;
    };
    const std::vector<Case> cases = {
        {"/mobile/email/data.php",
         {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}},
         "application/json"},
        {"/mobile/email/data.php",
         {{"ATYPE", "refreshList"}, {"A", "getNew"}, {"LATEST_ID", "9999"}, {"P", session}},
         "text/plain"},
        {"/mobile/email/read.php", {{"EMAIL_ID", "26"}, {"P", session}}, "text/html"},
    };
    for (const Case& c : cases) {
        for (const bool gzip : {false, true}) {
            httplib::Headers headers;
            if (gzip) {
                headers.emplace("Accept-Encoding", "gzip");
            }
            auto http = client();
            http->set_decompress(true);
            const auto result =
                http->Post(c.path, headers, httplib::Params(c.fields.begin(), c.fields.end()));
            ASSERT_TRUE(result);
            const std::string type = result->get_header_value("Content-Type");
            EXPECT_EQ(type.rfind(c.type, 0), 0u) << type;
            EXPECT_NE(type.find("charset=utf-8"), std::string::npos) << type;
            EXPECT_EQ(result->get_header_value("Content-Encoding"), gzip ? "gzip" : "") << c.path;
            EXPECT_FALSE(result->body.empty());
            if (c.type == "application/json") {
                EXPECT_TRUE(nlohmann::json::parse(result->body, nullptr, false).is_array());
            }
        }
    }
}

TEST_F(SessionTest, ConnectionsStayOpenBetweenRequests) {
    const std::string session = signIn("wangjianguo");
    auto http = client();
    http->set_keep_alive(true);
    httplib::Params params{{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}};
    for (int i = 0; i < 3; ++i) {
        const auto result = http->Post("/mobile/news/data.php", params);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 200);
        EXPECT_NE(result->get_header_value("Connection"), "close");
        EXPECT_NE(result->get_header_value("Keep-Alive"), "");
    }
}

TEST_F(SessionTest, LogsOneLinePerRequest) {
    const std::string session = signIn("wangjianguo");
    postText("/mobile/news/data.php",
             {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", session}});
    postText("/mobile/no/such/page.php", {{"P", session}});
    // The line is written after the reply has gone out.
    std::vector<std::string> lines;
    for (int i = 0; i < 200 && lines.size() < 3; ++i) {
        lines = logLines();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(lines.size(), 3u);
    // Each line is written by the worker that served the request, after its reply went out, so
    // lines of requests served back to back may come in either order.
    for (const char* expected : {"POST /mobile/login.php 200", "POST /mobile/news/data.php 200",
                                 "/mobile/no/such/page.php 404"}) {
        const auto count = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(expected) != std::string::npos;
        });
        EXPECT_EQ(count, 1) << "lines naming \"" << expected << "\"";
    }
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("123456"), std::string::npos) << "password in the log: " << line;
    }
}

}  // namespace
}  // namespace oa::test

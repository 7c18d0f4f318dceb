// Directory lookups and the server's web pages: staff search, departments, a person's card,
// the address book, area and post codes, weather, the workflow page and the reminder redirect.
#include <gtest/gtest.h>

#include <set>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

class DirectoryTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        session_ = signIn("wangjianguo");
    }

    std::vector<std::string> values(const nlohmann::json& list, const std::string& key) {
        std::vector<std::string> out;
        for (const auto& item : list) {
            out.push_back(item.value(key, "?"));
        }
        return out;
    }

    std::string session_;
};

TEST_F(DirectoryTest, StaffSearchMatchesNamesLiterally) {
    const std::string page = "/mobile/inc/get_contactlist.php";
    const auto wang = postJson(page, {{"P", session_}, {"KWORD", "王"}});
    EXPECT_EQ(values(wang, "user_name"), (std::vector<std::string>{"王建国", "王浩"}));
    for (const auto& person : wang) {
        for (const char* key :
             {"user_id", "user_uid", "user_name", "priv_name", "dept_name", "dept_long_name"}) {
            EXPECT_TRUE(person.contains(key)) << key;
        }
    }
    EXPECT_EQ(postJson(page, {{"P", session_}, {"KWORD", ""}}).size(), 12u);
    // The login name finds the person too (the reply button searches by sender).
    EXPECT_EQ(values(postJson(page, {{"P", session_}, {"KWORD", "zhangwei"}}), "user_uid"),
              std::vector<std::string>{"9"});
    for (const std::string literal : {"%", "_", "' OR '1'='1", "王%"}) {
        EXPECT_EQ(postText(page, {{"P", session_}, {"KWORD", literal}}), "[]") << literal;
    }
}

TEST_F(DirectoryTest, DepartmentsAndTheirMembers) {
    const std::string page = "/mobile/inc/get_contactlist.php";
    const auto depts = postJson(page, {{"P", session_}, {"A", "get_Dept"}});
    EXPECT_EQ(values(depts, "dept_name"),
              (std::vector<std::string>{"总经理办公室", "行政人事部", "财务部", "技术研发部"}));
    const auto members = postJson(page, {{"P", session_}, {"A", "get_USER"}, {"Q_ID", "1,3"}});
    EXPECT_EQ(values(members, "user_name"),
              (std::vector<std::string>{"王建国", "刘丽", "周红", "吴强", "郑敏"}));
    for (const auto& member : members) {
        EXPECT_TRUE(member.contains("sex"));
    }
    EXPECT_EQ(postText(page, {{"P", session_}, {"A", "get_USER"}, {"Q_ID", ""}}), "[]");
    EXPECT_EQ(post(page, {{"P", session_}, {"A", "get_USER"}, {"Q_ID", "1;DROP"}})->status, 400);
}

TEST_F(DirectoryTest, PersonCardCarriesTheDetailKeys) {
    const auto card = postJson("/mobile/user_info/data.php",
                               {{"P", session_}, {"Q_ID", "10"}, {"ATYPE", "getUserInfo"}});
    EXPECT_EQ(card["user_name"], "李娜");
    EXPECT_EQ(card["user_priv"], "软件工程师");
    EXPECT_EQ(card["dept_long_name"], "青禾科技/技术研发部");
    EXPECT_EQ(card["avatar"], "1");
    EXPECT_EQ(card["mobil_no"].get<std::string>().size(), 11u);
    EXPECT_EQ(card["mobil_no"].get<std::string>()[0], '1');
    EXPECT_EQ(card["tel_no_dept"].get<std::string>().size(), 8u);
    for (const char* key : {"sex", "user_id", "oicq_no", "email", "remark"}) {
        EXPECT_TRUE(card.contains(key)) << key;
    }
    EXPECT_TRUE(
        nlohmann::json::parse(postText("/mobile/user_info/data.php",
                                       {{"P", session_}, {"Q_ID", "77"}, {"ATYPE", "getUserInfo"}}),
                              nullptr, false)
            .is_discarded());
}

TEST_F(DirectoryTest, AddressBookSearchAndCard) {
    const std::string page = "/mobile/address/data.php";
    auto search = [&](const std::string& session, const std::string& name, const std::string& org) {
        return postJson(
            page, {{"P", session}, {"ATYPE", "getPsnList"}, {"PSN_NAME", name}, {"DEPT_NAM", org}});
    };
    const auto everyone = search(session_, "", "");
    ASSERT_TRUE(everyone.is_array());
    EXPECT_EQ(everyone.size(), 9u) << "the shared book and wangjianguo's own contact";
    EXPECT_EQ(values(search(session_, "林", ""), "psn_name"), std::vector<std::string>{"林晓燕"});
    EXPECT_EQ(values(search(session_, "", "苏州"), "psn_name"), std::vector<std::string>{"陈国庆"});
    EXPECT_EQ(search(session_, "林", "苏州").size(), 0u);
    // Personal contacts stay with their owner.
    EXPECT_EQ(search(session_, "彭宇", "").size(), 0u);
    const auto own = search(signIn("zhangwei"), "彭宇", "");
    ASSERT_EQ(own.size(), 1u);

    const auto card =
        postJson(page, {{"P", session_}, {"Q_ID", everyone[0]["q_id"]}, {"ATYPE", "getDetail"}});
    for (const char* key :
         {"group_name",   "psn_name",  "sex",         "dept_long_name", "dept_name",
          "ministration", "birthday",  "tel_no_dept", "fax_no_dept",    "tel_no_home",
          "mobil_no",     "nick_name", "oicq_no",     "icq_no",         "email",
          "mate",         "child",     "add_dept",    "post_no_dept",   "add_home",
          "post_no_home", "notes"}) {
        EXPECT_TRUE(card.contains(key)) << key;
    }
    EXPECT_EQ(
        post(page, {{"P", session_}, {"Q_ID", own[0]["q_id"]}, {"ATYPE", "getDetail"}})->status,
        404);
}

TEST_F(DirectoryTest, AreaAndPostCodes) {
    auto search = [&](const std::string& area, const std::string& code, const std::string& post) {
        return postJson("/mobile/tel_no/data.php", {{"P", session_},
                                                    {"ATYPE", "getTelNoList"},
                                                    {"AREA", area},
                                                    {"TEL_NO", code},
                                                    {"POST_NO", post}});
    };
    const auto hangzhou = search("杭州", "", "");
    ASSERT_EQ(hangzhou.size(), 3u);
    for (const auto& place : hangzhou) {
        EXPECT_EQ(place["tel_no"], "0571");
        EXPECT_EQ(place["province"], "浙江省");
        EXPECT_TRUE(place.contains("town") && place.contains("county"));
    }
    EXPECT_EQ(values(search("", "0755", ""), "city"),
              (std::vector<std::string>{"深圳市", "深圳市"}));
    EXPECT_EQ(values(search("", "", "10000"), "post_no"), std::vector<std::string>{"100000"});
    EXPECT_EQ(search("中关村", "", "")[0]["post_no"], "100080");
    EXPECT_GE(search("", "", "").size(), 30u);
    EXPECT_EQ(search("杭州", "010", "").size(), 0u);
}

TEST_F(DirectoryTest, WeatherForEveryCityName) {
    auto forecast = [&](const std::string& city) {
        return postJson("/mobile/weather/data.php", {{"P", session_}, {"CITY_NAME", city}});
    };
    std::set<std::string> seen;
    for (const std::string city :
         {"北京", "上海", "广州", "深圳", "香港", "重庆", "南京", "拉萨", "Springfield"}) {
        const auto days = forecast(city);
        ASSERT_EQ(days.size(), 5u) << city;
        for (const auto& day : days) {
            for (const char* icon : {"img1", "img2"}) {
                const int code = std::stoi(day[icon].get<std::string>());
                EXPECT_TRUE(code >= 0 && code <= 31) << city;
            }
            EXPECT_NE(day["temperature"].get<std::string>().find("℃"), std::string::npos);
            EXPECT_FALSE(day["wind"].get<std::string>().empty());
            EXPECT_FALSE(day["weather"].get<std::string>().empty());
        }
        seen.insert(days.dump());
        EXPECT_EQ(forecast(city), days) << "the same city gets the same forecast";
    }
    EXPECT_EQ(seen.size(), 9u);
    EXPECT_EQ(forecast("上海市"), forecast("上海"));
    EXPECT_EQ(post("/mobile/weather/data.php", {{"P", session_}, {"CITY_NAME", ""}})->status, 400);
}

TEST_F(DirectoryTest, WorkflowPageClosesThroughBacktomainAndHandlesSteps) {
    auto page = client()->Get("/mobile/workflow/?P=" + session_);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("href=\"backtomain:"), std::string::npos);
    EXPECT_NE(page->body.find("待办工作（2）"), std::string::npos);
    const auto pending = [&] {
        return counters("1", session_, "workflow")["module"][0]["workflow"];
    };
    EXPECT_EQ(pending(), "2");

    const auto step = client()->Get("/mobile/workflow/view.php?P=" + session_ + "&RUN_ID=2");
    ASSERT_TRUE(step);
    EXPECT_NE(step->body.find("李娜年假 3 天"), std::string::npos);
    // Handling needs the form's POST; a GET changes nothing.
    EXPECT_EQ(client()
                  ->Get("/mobile/workflow/handle.php?P=" + session_ + "&RUN_ID=2&DECISION=agree")
                  ->status,
              405);
    EXPECT_EQ(pending(), "2");
    const auto handled =
        post("/mobile/workflow/handle.php",
             {{"P", session_}, {"RUN_ID", "2"}, {"DECISION", "agree"}, {"OPINION", "注意交接"}});
    ASSERT_TRUE(handled);
    EXPECT_EQ(handled->status, 303);
    EXPECT_EQ(pending(), "1");
    EXPECT_NE(client()
                  ->Get("/mobile/workflow/view.php?P=" + session_ + "&RUN_ID=2")
                  ->body.find("同意。注意交接"),
              std::string::npos);
    // The initiator hears of it.
    const auto reminders =
        postJson("/mobile/sms/data.php",
                 {{"ATYPE", "refreshList"}, {"A", "loadList"}, {"P", signIn("lina")}});
    EXPECT_EQ(reminders[0]["sms_type"], "41");
    // Someone else's step is not theirs to see.
    EXPECT_EQ(client()->Get("/mobile/workflow/view.php?P=" + session_ + "&RUN_ID=4")->status, 404);
}

TEST_F(DirectoryTest, GoPageOpensServerPagesAndOnlyShowsOthers) {
    auto go = [&](const std::string& base64) {
        return client()->Get("/mobile/go.php?P=" + session_ + "&MobileWebViewURL=" + base64);
    };
    // "/mobile/sms/show.php?SMS_ID=8" in Base64, as the client inserts it (unescaped).
    const auto local = go("L21vYmlsZS9zbXMvc2hvdy5waHA/U01TX0lEPTg=");
    ASSERT_TRUE(local);
    EXPECT_EQ(local->status, 302);
    EXPECT_EQ(local->get_header_value("Location"), "/mobile/sms/show.php?SMS_ID=8&P=" + session_);
    const auto shown = client()->Get(local->get_header_value("Location"));
    EXPECT_NE(shown->body.find("全员大会"), std::string::npos);

    // "http://elsewhere.example/x" and "javascript:alert(1)": shown, never followed or linked.
    const auto elsewhere = go("aHR0cDovL2Vsc2V3aGVyZS5leGFtcGxlL3g=");
    EXPECT_EQ(elsewhere->status, 200);
    EXPECT_NE(elsewhere->body.find("href=\"http://elsewhere.example/x\""), std::string::npos);
    const auto script = go("amF2YXNjcmlwdDphbGVydCgxKQ==");
    EXPECT_EQ(script->status, 200);
    EXPECT_EQ(script->body.find("href=\"javascript"), std::string::npos);
    EXPECT_EQ(go("%%%")->status, 400);
    EXPECT_EQ(go("")->status, 400);
}

}  // namespace
}  // namespace oa::test

// The directory lookups' replies as records: search and card keys of a person, contacts and their
// cards, places and forecast days; replies that are missing, not JSON, of the wrong shape or
// holding elements that are not objects; and the notifications each search posts.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "ServerFixture.h"
#include "core/protocol/AddressBO.h"
#include "core/protocol/LookupNotifications.h"
#include "core/protocol/TelNoBO.h"
#include "core/protocol/UserBO.h"
#include "core/protocol/WeatherBO.h"

namespace oa::test {
namespace {

// Replies no lookup can read a list or a card from.
const std::vector<HttpRequest::Reply> kUnreadable = {
    std::nullopt, "", "<html>error</html>", "[{\"psn_name\":", "null", "7", "\"text\""};

TEST(PersonReply, TheCardReadsTheRoleFromUserPrivAndTheSearchFromPrivName) {
    const auto card = UserBO::userDetail(
        R"({"sex":"1","user_id":"wanghao","user_name":"王浩","user_priv":"主管",)"
        R"("priv_name":"职员","dept_long_name":"总部/销售部","avatar":"17","oicq_no":"80001",)"
        R"("tel_no_dept":"0571-8888","mobil_no":"13900000001","email":"wh@example.cn",)"
        R"("remark":"你好","user_uid":"5","dept_name":"销售部"})");
    EXPECT_EQ(card->priv_name, "主管");
    EXPECT_EQ(card->sex, "1");
    EXPECT_EQ(card->user_id, "wanghao");
    EXPECT_EQ(card->user_name, "王浩");
    EXPECT_EQ(card->dept_long_name, "总部/销售部");
    EXPECT_EQ(card->avatar, "17");
    EXPECT_EQ(card->oicq_no, "80001");
    EXPECT_EQ(card->tel_no_dept, "0571-8888");
    EXPECT_EQ(card->mobil_no, "13900000001");
    EXPECT_EQ(card->email, "wh@example.cn");
    EXPECT_EQ(card->remark, "你好");
    // The card's keys only.
    EXPECT_FALSE(card->user_uid);
    EXPECT_FALSE(card->dept_name);

    const auto found = UserBO::userList(R"([{"user_name":"王浩","user_priv":"主管"}])");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0]->priv_name);
}

// The sex stays as sent, in either of the forms the server uses; a number becomes its text and
// null leaves it absent.
TEST(PersonReply, SexIsKeptAsSent) {
    const auto people = UserBO::userList(
        R"([{"sex":"0"},{"sex":"1"},{"sex":"男"},{"sex":"女"},{"sex":1},{"sex":null},{}])");
    std::vector<Text> sexes;
    for (const auto& person : people) {
        sexes.push_back(person->sex);
    }
    EXPECT_EQ(sexes, (std::vector<Text>{"0", "1", "男", "女", "1", std::nullopt, std::nullopt}));
    EXPECT_EQ(UserBO::userDetail(R"({"sex":0})")->sex, "0");
}

TEST(PersonReply, AnUnreadableCardHasEveryFieldAbsent) {
    for (const auto& reply : kUnreadable) {
        EXPECT_EQ(*UserBO::userDetail(reply), UserVO()) << reply.value_or("(no reply)");
    }
    EXPECT_EQ(*UserBO::userDetail(R"([{"user_name":"王浩"}])"), UserVO());
}

TEST(ContactReply, ReadsTheContactsInReplyOrderSkippingWhatIsNotAnObject) {
    const auto contacts = AddressBO::addressList(
        R"([{"q_id":"3","group_name":"客户","psn_name":"赵磊","sex":"男","dept_name":"华东",)"
        R"("mobil_no":"139"}, "赵", null, [1], {"q_id":4,"psn_name":"钱芳"}])");
    ASSERT_EQ(contacts.size(), 2u);
    AddressVO first;
    first.q_id = "3";
    first.group_name = "客户";
    first.psn_name = "赵磊";
    first.sex = "男";
    first.dept_name = "华东";
    EXPECT_EQ(*contacts[0], first);
    EXPECT_EQ(contacts[1]->q_id, "4");
    EXPECT_EQ(contacts[1]->psn_name, "钱芳");
    for (const auto& reply : kUnreadable) {
        EXPECT_TRUE(AddressBO::addressList(reply).empty()) << reply.value_or("(no reply)");
    }
    EXPECT_TRUE(AddressBO::addressList(R"({"q_id":"3"})").empty());
}

TEST(ContactReply, TheCardReadsEachOfItsKeys) {
    nlohmann::json object = nlohmann::json::object();
    for (const auto& field : AddressDetailVO::fields()) {
        object[field.key] = std::string(field.key) + "值";
    }
    object["q_id"] = "3";
    const auto card = AddressBO::operationDetailJson(object.dump());
    for (const auto& field : AddressDetailVO::fields()) {
        EXPECT_EQ((*card).*field.member, std::string(field.key) + "值") << field.name;
    }
    EXPECT_EQ(card->ministration, "ministration值");
    EXPECT_EQ(card->dept_name, "dept_name值");
    EXPECT_FALSE(card->q_id);
    for (const auto& reply : kUnreadable) {
        EXPECT_EQ(*AddressBO::operationDetailJson(reply), AddressDetailVO())
            << reply.value_or("(no reply)");
    }
}

TEST(PlaceReply, ReadsThePlacesInReplyOrderSkippingWhatIsNotAnObject) {
    const auto places = TelNoBO::telList(
        R"([{"province":"浙江","city":"杭州","county":"西湖区","town":"北山街道",)"
        R"("tel_no":"0571","post_no":"310007"}, "0571", 571, {"city":"宁波","tel_no":574}])");
    const TelVO hangzhou{"浙江", "杭州", "西湖区", "北山街道", "0571", "310007"};
    const TelVO ningbo{std::nullopt, "宁波", std::nullopt, std::nullopt, "574", std::nullopt};
    EXPECT_EQ(places, (std::vector<TelVO>{hangzhou, ningbo}));
    for (const auto& reply : kUnreadable) {
        EXPECT_TRUE(TelNoBO::telList(reply).empty()) << reply.value_or("(no reply)");
    }
}

TEST(ForecastReply, ReadsEveryDayInReplyOrder) {
    const auto days = WeatherBO::operationJson(
        R"([{"date":"12月7日","img1":"7","img2":"1","weather":"小雨转多云","temperature":"8℃~14℃",)"
        R"("wind":"北风3-4级"},{"date":"12月8日","img1":1,"img2":""},"x",{"date":"12月9日"}])");
    ASSERT_EQ(days.size(), 3u);
    WeatherVO today;
    today.date = "12月7日";
    today.img1 = "7";
    today.img2 = "1";
    today.weather = "小雨转多云";
    today.temperature = "8℃~14℃";
    today.wind = "北风3-4级";
    EXPECT_EQ(*days[0], today);
    EXPECT_EQ(days[1]->img1, "1");
    EXPECT_EQ(days[1]->img2, "");
    EXPECT_FALSE(days[1]->weather);
    EXPECT_EQ(days[2]->date, "12月9日");
    for (const auto& reply : kUnreadable) {
        EXPECT_TRUE(WeatherBO::operationJson(reply).empty()) << reply.value_or("(no reply)");
    }
}

using LookupExchangeTest = ServerFixture;

// A failed card is a card of the right kind with nothing in it; the failure is told apart.
TEST_F(LookupExchangeTest, FailedCardsAreEmptyAndReportTheFailure) {
    server.setReply("/mobile/address/data.php", {500, {}, R"({"psn_name":"赵磊"})"});
    const auto contact = std::dynamic_pointer_cast<AddressDetailVO>(AddressBO().getDetailInfo("3"));
    ASSERT_TRUE(contact);
    EXPECT_EQ(*contact, AddressDetailVO());
    EXPECT_TRUE(HttpRequest::lastFailure());

    server.setReply("/mobile/user_info/data.php", {404, {}, R"({"user_name":"王浩"})"});
    const auto person = std::dynamic_pointer_cast<UserVO>(UserBO().getDetailInfo("5"));
    ASSERT_TRUE(person);
    EXPECT_EQ(*person, UserVO());
    EXPECT_TRUE(HttpRequest::lastFailure());

    server.setReply("/mobile/weather/data.php", {502, {}, R"([{"date":"今天"}])"});
    EXPECT_TRUE(WeatherBO().getWetherInfo("北京").empty());
    EXPECT_TRUE(HttpRequest::lastFailure());
}

TEST_F(LookupExchangeTest, TheForecastComesFromTheServer) {
    reply("/mobile/weather/data.php", R"([{"date":"今天","img1":"0"},{"date":"明天"}])");
    const auto days = WeatherBO().getWetherInfo("北京");
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0]->date, "今天");
    EXPECT_EQ(days[1]->date, "明天");
    EXPECT_FALSE(HttpRequest::lastFailure());
}

// Each search posts its own notification with its own object, on the searching thread, also
// when the exchange failed; the other notifications hear nothing of it.
TEST_F(LookupExchangeTest, EachSearchPostsItsResultUnderItsOwnName) {
    std::vector<std::string> heard;
    std::vector<std::size_t> sizes;
    std::vector<std::thread::id> threads;
    auto& center = NotificationCenter::defaultCenter();
    const auto record = [&](const Notification& note, std::size_t size) {
        heard.push_back(note.name);
        sizes.push_back(size);
        threads.push_back(std::this_thread::get_id());
    };
    ObserverToken users = center.addObserver(UserSearchNotification::kName, [&](auto& note) {
        const auto* people = lookupResult<UserSearchNotification>(note);
        record(note, people ? people->size() : 99);
    });
    ObserverToken contacts = center.addObserver(AddressSearchNotification::kName, [&](auto& note) {
        const auto* found = lookupResult<AddressSearchNotification>(note);
        record(note, found ? found->size() : 99);
    });
    ObserverToken places = center.addObserver(TelNoSearchNotification::kName, [&](auto& note) {
        const auto* found = lookupResult<TelNoSearchNotification>(note);
        record(note, found ? found->size() : 99);
    });

    reply("/mobile/address/data.php", R"([{"psn_name":"赵磊"},{"psn_name":"赵敏"}])");
    reply("/mobile/tel_no/data.php", R"([{"city":"杭州"},{"city":"宁波"},{"city":"温州"}])");
    reply("/mobile/inc/get_contactlist.php", R"([{"user_name":"王浩"}])");
    std::thread searching([] {
        AddressBO().search({{"name", "赵"}});
        TelNoBO().search({});
        UserBO().search({{"name", "王浩"}});
    });
    searching.join();
    server.setReply("/mobile/tel_no/data.php", {500, {}, "[]"});
    TelNoBO().search({});

    EXPECT_EQ(heard, (std::vector<std::string>{"addressSearch", "telNoSearch", "userSearch",
                                               "telNoSearch"}));
    EXPECT_EQ(sizes, (std::vector<std::size_t>{2, 3, 1, 0}));
    ASSERT_EQ(threads.size(), 4u);
    EXPECT_NE(threads[0], std::this_thread::get_id());
    EXPECT_EQ(threads[2], threads[0]);
    EXPECT_EQ(threads[3], std::this_thread::get_id());
}

}  // namespace
}  // namespace oa::test

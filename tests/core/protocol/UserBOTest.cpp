// The person search: the request as the server receives it, the people of its reply, and the
// "userSearch" notification.
#include <gtest/gtest.h>

#include <any>
#include <string>

#include "ServerFixture.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/UserBO.h"

namespace oa::test {
namespace {

constexpr char kPage[] = "/mobile/inc/get_contactlist.php";

using UserBOTest = ServerFixture;

TEST_F(UserBOTest, SearchesTheNameAsKeyword) {
    reply(kPage, "[]");
    EXPECT_EQ(UserBO().httpJsonInfo({{"name", "张伟"}, {"other", "x"}}), "[]");
    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.target, kPage);
    EXPECT_EQ(fieldsOf(sent), (Fields{{"P", kSession}, {"KWORD", "张伟"}}));
}

TEST_F(UserBOTest, WithoutANameTheKeywordIsEmpty) {
    reply(kPage, "[]");
    UserBO().httpJsonInfo({});
    EXPECT_EQ(fieldsOf(onlyRequest()), (Fields{{"P", kSession}, {"KWORD", ""}}));
}

TEST_F(UserBOTest, ReadsThePeopleOfTheReplyInOrder) {
    const auto people = UserBO::userList(
        R"([{"user_id":"zhangwei","user_uid":12,"user_name":"张伟","priv_name":"经理",)"
        R"("dept_name":"研发部","dept_long_name":"总部/研发部","sex":"0","avatar":"1"},)"
        R"({"user_name":"李娜"}, 7, "王", null])");
    // Elements that are not objects are skipped.
    ASSERT_EQ(people.size(), 2u);
    EXPECT_EQ(people[0]->user_id, "zhangwei");
    EXPECT_EQ(people[0]->user_uid, "12");
    EXPECT_EQ(people[0]->user_name, "张伟");
    EXPECT_EQ(people[0]->priv_name, "经理");
    EXPECT_EQ(people[0]->dept_name, "研发部");
    EXPECT_EQ(people[0]->dept_long_name, "总部/研发部");
    EXPECT_EQ(people[0]->sex, "0");
    // Only the search keys are read.
    EXPECT_FALSE(people[0]->avatar);
    EXPECT_EQ(people[1]->user_name, "李娜");
    EXPECT_FALSE(people[1]->user_id);
}

TEST_F(UserBOTest, NoReplyOrNoListGivesNobody) {
    EXPECT_TRUE(UserBO::userList(std::nullopt).empty());
    EXPECT_TRUE(UserBO::userList("").empty());
    EXPECT_TRUE(UserBO::userList(R"({"user_name":"张伟"})").empty());
    EXPECT_TRUE(UserBO::userList("<html>").empty());
}

TEST_F(UserBOTest, SearchPostsItsPeopleEvenWhenItFails) {
    std::vector<std::size_t> counts;
    ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        UserBO::kSearchNotification, [&](const Notification& note) {
            counts.push_back(std::any_cast<UserBO::People>(note.object).size());
        });
    reply(kPage, R"([{"user_name":"张伟"},{"user_name":"张伟华"}])");
    UserBO().search({{"name", "张伟"}});
    server.setReply(kPage, {500, {}, "ERROR"});
    UserBO().search({{"name", "张伟"}});
    EXPECT_EQ(counts, (std::vector<std::size_t>{2, 0}));
}

}  // namespace
}  // namespace oa::test

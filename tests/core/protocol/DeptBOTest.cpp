// The department requests of the staff directory: what the server receives, the departments and
// members of its replies, and what a failed exchange gives.
#include <gtest/gtest.h>

#include <string>

#include "ServerFixture.h"
#include "core/protocol/DeptBO.h"

namespace oa::test {
namespace {

constexpr char kPage[] = "/mobile/inc/get_contactlist.php";

using DeptBOTest = ServerFixture;

DeptVO dept(const char* id) {
    DeptVO d;
    d.dept_id = id;
    return d;
}

TEST_F(DeptBOTest, ListsTheDepartmentsOfTheReply) {
    reply(kPage, R"([{"dept_id":"2","dept_name":"研发部","dept_long_name":"总部/研发部"},)"
                 R"("x",{"dept_id":5,"dept_name":"财务部"}])");
    const DeptBO::Depts depts = DeptBO().getDeptList();
    EXPECT_EQ(fieldsOf(onlyRequest()), (Fields{{"P", kSession}, {"A", "get_Dept"}}));
    ASSERT_EQ(depts.size(), 2u);
    EXPECT_EQ(depts[0], (DeptVO{"2", "研发部", "总部/研发部"}));
    EXPECT_EQ(depts[1].dept_id, "5");
    EXPECT_EQ(depts[1].dept_name, "财务部");
    EXPECT_FALSE(depts[1].dept_long_name);
}

TEST_F(DeptBOTest, AFailedOrUnreadableListGivesNoDepartment) {
    server.setReply(kPage, {500, {}, R"([{"dept_id":"2"}])"});
    EXPECT_TRUE(DeptBO().getDeptList().empty());
    EXPECT_TRUE(HttpRequest::lastFailure());
    EXPECT_TRUE(DeptBO::deptList(R"({"dept_id":"2"})").empty());
    EXPECT_TRUE(DeptBO::deptList("<html>").empty());
}

TEST_F(DeptBOTest, AsksForTheMembersOfTheDepartmentsJoinedByComma) {
    reply(kPage, R"([{"user_id":"wq","user_uid":"7","user_name":"吴强","priv_name":"经理",)"
                 R"("dept_name":"研发部","sex":"1"}])");
    const DeptBO::People people = DeptBO().getDeptUsers({dept("2"), dept("5"), dept("11")});
    EXPECT_EQ(fieldsOf(onlyRequest()),
              (Fields{{"P", kSession}, {"A", "get_USER"}, {"Q_ID", "2,5,11"}}));
    ASSERT_EQ(people.size(), 1u);
    EXPECT_EQ(people[0]->user_id, "wq");
    EXPECT_EQ(people[0]->user_uid, "7");
    EXPECT_EQ(people[0]->user_name, "吴强");
    EXPECT_EQ(people[0]->priv_name, "经理");
    EXPECT_EQ(people[0]->dept_name, "研发部");
    EXPECT_EQ(people[0]->sex, "1");
}

TEST_F(DeptBOTest, NoDepartmentOrAFailedRequestAddsNobody) {
    EXPECT_TRUE(DeptBO().getDeptUsers({}).empty());
    EXPECT_TRUE(server.requests().empty());
    server.setReply(kPage, {503, {}, R"([{"user_id":"wq"}])"});
    EXPECT_TRUE(DeptBO().getDeptUsers({dept("2")}).empty());
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(DeptBOTest, JoinsOneIdWithoutComma) {
    EXPECT_EQ(DeptBO::joinIds({dept("2")}), "2");
    EXPECT_EQ(DeptBO::joinIds({}), "");
}

}  // namespace
}  // namespace oa::test

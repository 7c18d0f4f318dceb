// --directory-size: generated staff and address-book contacts on top of the demo data, found by
// the directory pages like the seed people; the same count gives the same people, and without the
// option the demo data is as it was.
#include <gtest/gtest.h>

#include <set>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

constexpr const char* kStaffPage = "/mobile/inc/get_contactlist.php";
constexpr const char* kAddressPage = "/mobile/address/data.php";
constexpr std::size_t kGenerated = 3000;

class DirectorySizeTest : public ServerFixture {
protected:
    void configure(ServerOptions& options) override {
        options.reset = true;
        options.directorySize = kGenerated;
    }

    nlohmann::json staff(const std::string& session, const std::string& word) {
        return postJson(kStaffPage, {{"P", session}, {"KWORD", word}});
    }
    nlohmann::json contacts(const std::string& session, const std::string& name) {
        return postJson(
            kAddressPage,
            {{"P", session}, {"ATYPE", "getPsnList"}, {"PSN_NAME", name}, {"DEPT_NAM", ""}});
    }
};

TEST_F(DirectorySizeTest, ACommonSurnameFindsThousands) {
    const std::string session = signIn("wangjianguo");
    EXPECT_EQ(staff(session, "").size(), 12 + kGenerated);
    const auto wang = staff(session, "王");
    EXPECT_GE(wang.size(), 1000u);
    EXPECT_LT(wang.size(), kGenerated);
    std::set<std::string> uids;
    for (const auto& person : wang) {
        EXPECT_EQ(person.value("user_name", "").rfind("王", 0), 0u) << person.dump();
        uids.insert(person.value("user_uid", ""));
    }
    EXPECT_EQ(uids.size(), wang.size());

    EXPECT_EQ(contacts(session, "").size(), 9 + kGenerated);
    EXPECT_GE(contacts(session, "王").size(), 1000u);
}

TEST_F(DirectorySizeTest, GeneratedPeopleHaveFullCardsAndCanSignIn) {
    const std::string session = signIn("staff00001");
    const auto card = postJson("/mobile/user_info/data.php",
                               {{"P", session}, {"Q_ID", "1001"}, {"ATYPE", "getUserInfo"}});
    for (const char* key : {"user_name", "user_priv", "dept_long_name", "mobil_no", "email"}) {
        EXPECT_FALSE(card.value(key, "").empty()) << key << " in " << card.dump();
    }
    const auto last = contacts(session, "").back();
    const auto contact = postJson(
        kAddressPage, {{"P", session}, {"Q_ID", last.value("q_id", "")}, {"ATYPE", "getDetail"}});
    EXPECT_EQ(contact.value("psn_name", ""), last.value("psn_name", "?"));
    for (const char* key : {"dept_name", "ministration", "tel_no_dept", "mobil_no", "add_dept"}) {
        EXPECT_FALSE(contact.value(key, "").empty()) << key << " in " << contact.dump();
    }
}

// A second server loaded with the same count serves the same people.
TEST_F(DirectorySizeTest, TheSameCountGivesTheSamePeople) {
    const std::string session = signIn("wangjianguo");
    const auto people = staff(session, "李");
    const auto found = contacts(session, "张");
    TearDown();
    SetUp();
    const std::string again = signIn("wangjianguo");
    EXPECT_EQ(staff(again, "李"), people);
    EXPECT_EQ(contacts(again, "张"), found);
}

TEST(DirectorySizeOption, IsACountOfPeopleAndNoneByDefault) {
    EXPECT_EQ(ServerOptions::parse({}).options->directorySize, 0u);
    const auto large = ServerOptions::parse({"--directory-size", "5000"});
    ASSERT_TRUE(large.options);
    EXPECT_EQ(large.options->directorySize, 5000u);
    for (const char* bad : {"-1", "5k", "", "200001", "99999999999999999999"}) {
        const auto refused = ServerOptions::parse({"--directory-size", bad});
        EXPECT_FALSE(refused.options) << bad;
        EXPECT_EQ(refused.exitCode, 2) << bad;
    }
    EXPECT_FALSE(ServerOptions::parse({"--directory-size"}).options);
}

}  // namespace
}  // namespace oa::test

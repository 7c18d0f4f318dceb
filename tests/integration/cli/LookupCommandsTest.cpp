// oa-cli's directory lookups as a black box against the demo server: what each prints for the
// seed staff, contacts, places and forecast, and how it refuses a wrong command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "integration/ClientFixture.h"
#include "integration/cli/CliRun.h"

namespace oa::test {
namespace {

class LookupCommandsTest : public ClientServerTest {
protected:
    // The command's JSON lines, signed in as 王建国 with a home of the test's own.
    std::vector<nlohmann::json> objects(std::vector<std::string> args) {
        args.insert(args.end(), {"--home", (home_.path() / "cli").string(), "--server", serverUrl(),
                                 "--user", "wangjianguo", "--password", "123456"});
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::vector<nlohmann::json> found;
        for (const std::string& line : linesOf(run.out)) {
            found.push_back(nlohmann::json::parse(line, nullptr, false));
            EXPECT_TRUE(found.back().is_object()) << line;
        }
        return found;
    }

    static std::vector<std::string> valuesOf(const std::vector<nlohmann::json>& objects,
                                             const char* key) {
        std::vector<std::string> values;
        for (const auto& object : objects) {
            values.push_back(object.value(key, "(absent)"));
        }
        return values;
    }
};

TEST_F(LookupCommandsTest, PeopleAndTheirCards) {
    const auto found = objects({"users", "王"});
    EXPECT_EQ(valuesOf(found, "user_name"), (std::vector<std::string>{"王建国", "王浩"}));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].value("user_uid", ""), "11");
    EXPECT_EQ(found[1].value("priv_name", ""), "软件工程师");
    // A search carries no card fields.
    EXPECT_FALSE(found[1].contains("mobil_no"));

    const auto card = objects({"user", "11"});
    ASSERT_EQ(card.size(), 1u);
    EXPECT_EQ(card[0].value("user_name", ""), "王浩");
    EXPECT_EQ(card[0].value("priv_name", ""), "软件工程师");
    EXPECT_EQ(card[0].value("sex", ""), "0");
    EXPECT_TRUE(card[0].contains("mobil_no"));

    EXPECT_EQ(objects({"users", ""}).size(), 12u);
}

TEST_F(LookupCommandsTest, ContactsAndTheirCards) {
    const auto everyone = objects({"address"});
    EXPECT_FALSE(everyone.empty());
    const auto found = objects({"address", "--name", "黄"});
    ASSERT_EQ(valuesOf(found, "psn_name"), (std::vector<std::string>{"黄志明"}));
    const auto byOrganisation = objects({"address", "--dept", "远景"});
    EXPECT_EQ(valuesOf(byOrganisation, "psn_name"), (std::vector<std::string>{"黄志明"}));

    const auto card = objects({"contact", found[0].value("q_id", "")});
    ASSERT_EQ(card.size(), 1u);
    EXPECT_EQ(card[0].value("psn_name", ""), "黄志明");
    EXPECT_EQ(card[0].value("ministration", ""), "采购经理");
    EXPECT_EQ(card[0].size(), 22u);
}

TEST_F(LookupCommandsTest, PlacesAndForecast) {
    const auto places = objects({"telno", "--city", "杭州"});
    ASSERT_FALSE(places.empty());
    for (const auto& place : places) {
        EXPECT_EQ(place.value("tel_no", ""), "0571") << place.dump();
    }
    const auto byCode = objects({"telno", "--code", "0571"});
    EXPECT_EQ(byCode.size(), places.size());

    const auto days = objects({"weather", "北京"});
    ASSERT_EQ(days.size(), 5u);
    for (const auto& day : days) {
        EXPECT_TRUE(day.contains("date") && day.contains("img1") && day.contains("weather"))
            << day.dump();
    }
}

TEST_F(LookupCommandsTest, WrongCommandLinesAreRefusedBeforeAnythingIsSent) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"users"},
                                               {"user", "1", "2"},
                                               {"address", "黄"},
                                               {"contact"},
                                               {"telno", "杭州"},
                                               {"weather"}}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_NE(run.err.find("usage: oa-cli " + args[0]), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace oa::test

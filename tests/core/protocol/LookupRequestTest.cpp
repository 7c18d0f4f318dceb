// The directory lookups' requests as the server receives them: page, field names, order and
// values for each search and card, with the terms a screen passes and without them.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ServerFixture.h"
#include "core/protocol/AddressBO.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/TelNoBO.h"
#include "core/protocol/UserBO.h"
#include "core/protocol/WeatherBO.h"

namespace oa::test {
namespace {

constexpr char kUserPage[] = "/mobile/user_info/data.php";
constexpr char kAddressPage[] = "/mobile/address/data.php";
constexpr char kTelNoPage[] = "/mobile/tel_no/data.php";
constexpr char kWeatherPage[] = "/mobile/weather/data.php";

struct LookupCase {
    const char* name;
    std::function<void()> send;
    std::string path;
    Fields fields;
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

class LookupRequest : public ServerFixture, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(LookupRequest, SendsItsFieldsInOrderToItsPage) {
    const LookupCase& c = GetParam();
    reply(c.path, "[]");
    c.send();
    const CapturedRequest sent = onlyRequest();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.target, c.path);
    EXPECT_EQ(fieldsOf(sent), c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, LookupRequest,
    ::testing::Values(
        LookupCase{"PersonCard",
                   [] { UserBO().getUserDetail("12"); },
                   kUserPage,
                   {{"P", "S-0427"}, {"Q_ID", "12"}, {"ATYPE", "getUserInfo"}}},
        LookupCase{"PersonCardOfTheDetailScreen",
                   [] { ModuleLogicFactory::createDetailLogic("user")->getDetailInfo("31"); },
                   kUserPage,
                   {{"P", "S-0427"}, {"Q_ID", "31"}, {"ATYPE", "getUserInfo"}}},
        LookupCase{
            "ContactSearch",
            [] {
                AddressBO().search({{"name", "赵磊"}, {"dept", "华东"}});
            },
            kAddressPage,
            {{"P", "S-0427"}, {"ATYPE", "getPsnList"}, {"PSN_NAME", "赵磊"}, {"DEPT_NAM", "华东"}}},
        LookupCase{"ContactSearchWithEmptyFields",
                   [] { AddressBO().search({}); },
                   kAddressPage,
                   {{"P", "S-0427"}, {"ATYPE", "getPsnList"}, {"PSN_NAME", ""}, {"DEPT_NAM", ""}}},
        LookupCase{"ContactCard",
                   [] { ModuleLogicFactory::createDetailLogic("address")->getDetailInfo("7"); },
                   kAddressPage,
                   {{"P", "S-0427"}, {"Q_ID", "7"}, {"ATYPE", "getDetail"}}},
        LookupCase{"PlaceSearch",
                   [] {
                       TelNoBO().search({{"city", "杭州"}, {"code", "0571"}, {"post", "310"}});
                   },
                   kTelNoPage,
                   {{"P", "S-0427"},
                    {"ATYPE", "getTelNoList"},
                    {"AREA", "杭州"},
                    {"TEL_NO", "0571"},
                    {"POST_NO", "310"}}},
        LookupCase{"PlaceSearchWithEmptyFields",
                   [] {
                       TelNoBO().search({{"city", ""}});
                   },
                   kTelNoPage,
                   {{"P", "S-0427"},
                    {"ATYPE", "getTelNoList"},
                    {"AREA", ""},
                    {"TEL_NO", ""},
                    {"POST_NO", ""}}},
        LookupCase{"Forecast",
                   [] { ModuleLogicFactory::createDetailLogic("weather")->getWetherInfo("香港"); },
                   kWeatherPage,
                   {{"P", "S-0427"}, {"CITY_NAME", "香港"}}}),
    [](const ::testing::TestParamInfo<LookupCase>& param) {
        return std::string(param.param.name);
    });

using LookupLogicTest = ServerFixture;

// Only the weather logic has a forecast; the others send nothing for one.
TEST_F(LookupLogicTest, OtherModulesHaveNoForecast) {
    reply(kWeatherPage, R"([{"date":"今天"}])");
    EXPECT_TRUE(ModuleLogicFactory::createDetailLogic("email")->getWetherInfo("北京").empty());
    EXPECT_TRUE(ModuleLogicFactory::createDetailLogic("user")->getWetherInfo("北京").empty());
    EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace oa::test

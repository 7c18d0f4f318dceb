// The demo interface refuses what a web page open on this machine could send it: a form posted
// from another origin (it names that origin in Origin or Referer, or comes without the
// interface's own header, which a page cannot add across origins without a preflight the server
// never grants) or a request to a name that only points at loopback. Its own callers are served.
#include <gtest/gtest.h>

#include <regex>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

struct Sender {
    const char* name;
    // "OWN" stands for this server's host and port.
    Fields headers;
    bool admitted;
};

class AdminGuardTest : public ServerFixture, public ::testing::WithParamInterface<Sender> {
protected:
    httplib::Headers headers() const {
        const std::string own = std::string(kHost) + ":" + std::to_string(server_->httpPort());
        httplib::Headers out;
        for (const auto& [name, value] : GetParam().headers) {
            out.emplace(name, std::regex_replace(value, std::regex("OWN"), own));
        }
        return out;
    }
};

TEST_P(AdminGuardTest, OnlyItsOwnCallersAreServed) {
    const int expected = GetParam().admitted ? 200 : 403;
    const auto event =
        post("/demo/admin/event", {{"kind", "email"}, {"from", "wangjianguo"}, {"to", "lina"}},
             headers());
    ASSERT_TRUE(event);
    EXPECT_EQ(event->status, expected) << event->body;
    const auto fault =
        post("/demo/admin/fault", {{"page", "/mobile/login.php"}, {"status", "503"}}, headers());
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->status, expected) << fault->body;
    // A fault switched on answers the next sign-in; a refused one leaves it alone.
    EXPECT_EQ(signIn("lina").empty(), GetParam().admitted);
}

INSTANTIATE_TEST_SUITE_P(
    Senders, AdminGuardTest,
    ::testing::Values(
        Sender{"ItsOwnHeader", {{"X-OA-Admin", "1"}}, true},
        Sender{"ItsOwnPage",
               {{"X-OA-Admin", "1"}, {"Origin", "http://OWN"}, {"Referer", "http://OWN/demo"}},
               true},
        Sender{"NoHeader", {}, false},
        Sender{"CrossSiteForm", {{"Origin", "http://evil.example"}}, false},
        Sender{"ForeignOrigin", {{"X-OA-Admin", "1"}, {"Origin", "http://evil.example"}}, false},
        Sender{"OpaqueOrigin", {{"X-OA-Admin", "1"}, {"Origin", "null"}}, false},
        Sender{"ForeignReferer",
               {{"X-OA-Admin", "1"}, {"Referer", "http://evil.example/form.html"}},
               false},
        Sender{"OwnHostOnAnotherScheme", {{"X-OA-Admin", "1"}, {"Origin", "https://OWN"}}, false},
        Sender{"NameRetargetedToLoopback",
               {{"X-OA-Admin", "1"}, {"Host", "evil.example"}, {"Origin", "http://evil.example"}},
               false},
        Sender{
            "NameRetargetedWithoutOrigin", {{"X-OA-Admin", "1"}, {"Host", "evil.example"}}, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ServerFixture, PreflightsAreNotGranted) {
    const auto reply =
        client()->Options("/demo/admin/event", {{"Origin", "http://evil.example"},
                                                {"Access-Control-Request-Method", "POST"},
                                                {"Access-Control-Request-Headers", "x-oa-admin"}});
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->has_header("Access-Control-Allow-Origin"));
    EXPECT_FALSE(reply->has_header("Access-Control-Allow-Headers"));
}

}  // namespace
}  // namespace oa::test

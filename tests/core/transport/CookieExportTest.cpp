// Cookie export: the lines of libcurl's cookie list read into records, and the shared store's
// cookies as a server set them, for the web pages to carry the same session.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/transport/ASIFormDataRequest.h"
#include "core/transport/CookieExport.h"
#include "support/HttpTestServer.h"

namespace oa {
namespace {

using test::HttpTestServer;

TEST(CookieLineTest, ReadsEveryFieldOfAHostCookie) {
    const auto cookie = parseCookieLine("127.0.0.1\tFALSE\t/mobile\tFALSE\t0\tPHPSESSID\tabc123");
    ASSERT_TRUE(cookie);
    EXPECT_EQ(cookie->domain, "127.0.0.1");
    EXPECT_FALSE(cookie->includeSubdomains);
    EXPECT_EQ(cookie->path, "/mobile");
    EXPECT_FALSE(cookie->secure);
    EXPECT_FALSE(cookie->httpOnly);
    EXPECT_EQ(cookie->expires, 0);
    EXPECT_EQ(cookie->name, "PHPSESSID");
    EXPECT_EQ(cookie->value, "abc123");
}

TEST(CookieLineTest, ReadsHttpOnlySecureDomainCookiesWithExpiry) {
    const auto cookie =
        parseCookieLine("#HttpOnly_.oa.example.com\tTRUE\t/\tTRUE\t1893456000\tOA_SESSION\ts1");
    ASSERT_TRUE(cookie);
    EXPECT_TRUE(cookie->httpOnly);
    EXPECT_EQ(cookie->domain, "oa.example.com");
    EXPECT_TRUE(cookie->includeSubdomains);
    EXPECT_TRUE(cookie->secure);
    EXPECT_EQ(cookie->expires, 1893456000);
    EXPECT_EQ(cookie->value, "s1");
}

TEST(CookieLineTest, KeepsAnEmptyValueAndTabsInsideTheValue) {
    EXPECT_EQ(parseCookieLine("h\tFALSE\t/\tFALSE\t0\tn\t")->value, "");
    EXPECT_EQ(parseCookieLine("h\tFALSE\t/\tFALSE\t0\tn\ta\tb")->value, "a\tb");
}

TEST(CookieLineTest, RefusesLinesThatAreNoCookie) {
    for (const char* line : {"", "# Netscape HTTP Cookie File", "h\tFALSE\t/\tFALSE\t0\tn",
                             "\tFALSE\t/\tFALSE\t0\tn\tv", "h\tFALSE\t/\tFALSE\t0\t\tv",
                             "h\tFALSE\t/\tFALSE\tsoon\tn\tv", "h\tFALSE\t/\tFALSE\t-5\tn\tv"}) {
        EXPECT_FALSE(parseCookieLine(line)) << line;
    }
}

class CookieExportTest : public ::testing::Test {
protected:
    void SetUp() override { ASIHTTPRequest::clearSession(); }
    void TearDown() override { ASIHTTPRequest::clearSession(); }

    void post(const std::string& path) {
        auto request = ASIFormDataRequest::requestWithURL(server.url(path));
        request->setPostValue("k", "v");
        request->setTimeOutSeconds(10);
        request->startSynchronous();
        ASSERT_FALSE(request->error());
    }

    HttpTestServer server;
};

TEST_F(CookieExportTest, HandsOnTheCookiesTheServerSet) {
    server.setReply("/mobile/login.php", {200,
                                          {{"Set-Cookie", "OA_SESSION=s-42; Path=/; HttpOnly"},
                                           {"Set-Cookie", "lang=zh; Path=/mobile; Max-Age=3600"}},
                                          "{}"});
    EXPECT_TRUE(exportSessionCookies().empty());
    post("/mobile/login.php");

    auto cookies = exportSessionCookies();
    std::sort(cookies.begin(), cookies.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(cookies.size(), 2u);
    EXPECT_EQ(cookies[0].name, "OA_SESSION");
    EXPECT_EQ(cookies[0].value, "s-42");
    EXPECT_EQ(cookies[0].domain, "127.0.0.1");
    EXPECT_FALSE(cookies[0].includeSubdomains);
    EXPECT_EQ(cookies[0].path, "/");
    EXPECT_TRUE(cookies[0].httpOnly);
    EXPECT_EQ(cookies[0].expires, 0);
    EXPECT_EQ(cookies[1].name, "lang");
    EXPECT_EQ(cookies[1].path, "/mobile");
    EXPECT_FALSE(cookies[1].httpOnly);
    EXPECT_GT(cookies[1].expires, 0);
}

TEST_F(CookieExportTest, FollowsChangesAndClearingOfTheStore) {
    server.setReply("/a", {200, {{"Set-Cookie", "OA_SESSION=first; Path=/"}}, "a"});
    server.setReply("/b", {200, {{"Set-Cookie", "OA_SESSION=second; Path=/"}}, "b"});
    post("/a");
    post("/b");
    const auto cookies = exportSessionCookies();
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0].value, "second");

    ASIHTTPRequest::clearSession();
    EXPECT_TRUE(exportSessionCookies().empty());
}

}  // namespace
}  // namespace oa

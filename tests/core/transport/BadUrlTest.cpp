// URLs the transport refuses before anything goes out: no host, or a scheme other than http and
// https. libcurl would otherwise guess a host ("http:///mobile/login.php" names host "mobile")
// and hand the form, password included, to whatever answers for it: a proxy or a stray machine.
#include <gtest/gtest.h>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"

namespace oa {
namespace {

using test::HttpTestServer;
using test::ProxyThrough;

class BadUrlTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { ASIHTTPRequest::clearSession(); }

    std::shared_ptr<ASIFormDataRequest> signIn(const std::string& url) {
        auto request = ASIFormDataRequest::requestWithURL(url);
        request->setPostValue("USERNAME", "zhang");
        request->setPostValue("PASSWORD", "secret");
        request->setTimeOutSeconds(10);
        request->startSynchronous();
        return request;
    }

    HttpTestServer proxy;
};

TEST_P(BadUrlTest, FailsUnsentEvenThroughAProxy) {
    ProxyThrough through(proxy);
    auto request = signIn(GetParam());
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::UnableToCreateRequest);
    EXPECT_EQ(request->error()->description, "Unable to create request (bad url?)");
    EXPECT_EQ(request->responseStatusCode(), 0);
    EXPECT_EQ(proxy.connectionsAccepted(), 0);
}

INSTANTIATE_TEST_SUITE_P(Urls, BadUrlTest,
                         ::testing::Values("http:///mobile/login.php", "HTTP:///mobile/login.php",
                                           "https:///mobile/login.php", "http:////mobile/login.php",
                                           "http:/mobile/login.php", "http:mobile/login.php",
                                           "http://", "http:///", "http://:8080/mobile/login.php",
                                           "http://@/mobile/login.php", "http://?x=1", "http://#x",
                                           "ftp://127.0.0.1/x", "file:///etc/passwd",
                                           "gopher://127.0.0.1/x", "//mobile/login.php",
                                           "mobile/login.php", "", "http://bad host/"));

// The same proxy does receive a request whose URL names a host, so the cases above fail for
// the URL, not for a proxy that nothing would have used.
TEST_F(BadUrlTest, UrlWithAHostGoesThroughTheProxy) {
    ProxyThrough through(proxy);
    const std::string url = "http://oa.example.invalid/mobile/login.php";
    proxy.setReply(url, {200, {{"Content-Type", "text/plain"}}, "proxied"});
    auto request = signIn(url);
    ASSERT_FALSE(request->error()) << request->error()->description;
    EXPECT_EQ(request->responseString(), "proxied");
    const auto all = proxy.requests();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].header("Host"), "oa.example.invalid");
}

TEST_F(BadUrlTest, HostAndSchemeAreReadWithoutRegardToCase) {
    HttpTestServer server;
    server.setReply("/x", {200, {}, "ok"});
    const std::string url = "HtTp://127.0.0.1:" + std::to_string(server.port()) + "/x";
    auto request = signIn(url);
    ASSERT_FALSE(request->error()) << request->error()->description;
    EXPECT_EQ(request->responseString(), "ok");
}

}  // namespace
}  // namespace oa

// URL-encoded form requests on the wire: escaping, field order, empty values, methods and the
// header set.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"

namespace oa {
namespace {

using test::CannedReply;
using test::HttpTestServer;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

class FormRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASIHTTPRequest::clearSession();
        server.setReply("/form", {200, {{"Content-Type", "text/plain"}}, "ok"});
    }

    // Sends the request and returns what reached the server.
    test::CapturedRequest send(ASIHTTPRequest& request) {
        request.startSynchronous();
        EXPECT_FALSE(request.error()) << request.error()->description;
        const auto all = server.requests();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? test::CapturedRequest{} : all.back();
    }

    HttpTestServer server;
};

struct EscapeCase {
    const char* value;
    const char* wire;
};

class EscapeTest : public FormRequestTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeTest, ValueArrivesPercentEscapedInUtf8) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
    request->setPostValue("k", GetParam().value);
    const auto got = send(*request);
    EXPECT_EQ(got.body, std::string("k=") + GetParam().wire);
    ASSERT_EQ(got.form().size(), 1u);
    EXPECT_EQ(got.form()[0].value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, EscapeTest,
    ::testing::Values(EscapeCase{"a&b", "a%26b"}, EscapeCase{"a=b", "a%3Db"},
                      EscapeCase{"1+1", "1%2B1"}, EscapeCase{"a/b?c", "a%2Fb%3Fc"},
                      EscapeCase{"a b", "a%20b"}, EscapeCase{"中文", "%E4%B8%AD%E6%96%87"},
                      EscapeCase{":#[]@!$'()*,;\"<>%{}|\\^~`",
                                 "%3A%23%5B%5D%40%21%24%27%28%29%2A%2C%3B%22%3C%3E%25%7B%7D%7C%"
                                 "5C%5E%7E%60"},
                      EscapeCase{"AZaz09-._", "AZaz09-._"}, EscapeCase{"\r\n", "%0D%0A"}));

TEST_F(FormRequestTest, KeysAreEscapedLikeValues) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
    request->setPostValue("名 字", "v");
    EXPECT_EQ(send(*request).body, "%E5%90%8D%20%E5%AD%97=v");
}

TEST_F(FormRequestTest, SettingAKeyAgainMovesItToTheEndWithTheNewValue) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
    request->setPostValue("A", "loadList");
    request->setPostValue("P", "session");
    request->addPostValue("X", "1");
    request->addPostValue("X", "2");
    request->setPostValue("A", "refresh");
    EXPECT_EQ(send(*request).body, "P=session&X=1&X=2&A=refresh");
}

TEST_F(FormRequestTest, SetReplacesEveryEarlierAddOfTheKey) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
    request->addPostValue("X", "1");
    request->addPostValue("Y", "y");
    request->addPostValue("X", "2");
    request->setPostValue("X", "3");
    EXPECT_EQ(send(*request).body, "Y=y&X=3");
}

TEST_F(FormRequestTest, AbsentOrEmptyValuesAreSentEmptyAndKeylessFieldsAreDropped) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
    request->setPostValue("a", std::nullopt);
    request->setPostValue("b", "");
    request->setPostValue(std::nullopt, "lost");
    request->addPostValue(std::nullopt, "lost too");
    request->setPostValue("c", "x");
    EXPECT_EQ(send(*request).body, "a=&b=&c=x");
}

TEST_F(FormRequestTest, SendsThePostWithTheFormHeaderSet) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form?x=1"));
    request->setPostValue("A", "loadList");
    const auto got = send(*request);
    EXPECT_EQ(got.method, "POST");
    EXPECT_EQ(got.target, "/form?x=1");
    EXPECT_EQ(got.header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(got.header("Content-Length"), "10");
    EXPECT_EQ(got.header("Accept-Encoding"), "gzip");
    EXPECT_EQ(got.header("Expect"), std::nullopt);
    EXPECT_THAT(got.header("User-Agent").value_or(""),
                MatchesRegex(std::string(OA_APP_NAME) + " " + OA_APP_VERSION +
                             " \\([^;]+; [^ ;]+ [^;]+; [A-Za-z_]+\\)"));
    EXPECT_THAT(got.raw, StartsWith("POST /form?x=1 HTTP/1.1\r\n"));
    EXPECT_THAT(got.raw, HasSubstr("\r\n\r\nA=loadList"));
    EXPECT_EQ(request->responseString(), "ok");
    EXPECT_EQ(request->responseStatusCode(), 200);
}

TEST_F(FormRequestTest, GetDeleteAndHeadWithABodyAreSentAsPost) {
    for (const char* method : {"GET", "DELETE", "HEAD", "get"}) {
        SCOPED_TRACE(method);
        HttpTestServer own;
        own.setReply("/form", {200, {}, "ok"});
        auto request = ASIFormDataRequest::requestWithURL(own.url("/form"));
        request->setRequestMethod(method);
        request->setPostValue("k", "v");
        request->startSynchronous();
        ASSERT_FALSE(request->error());
        ASSERT_EQ(own.requests().size(), 1u);
        EXPECT_EQ(own.requests()[0].method, "POST");
        EXPECT_EQ(own.requests()[0].body, "k=v");
    }
}

TEST_F(FormRequestTest, PlainRequestIsAGetWithoutBody) {
    auto request = ASIHTTPRequest::requestWithURL(server.url("/form"));
    const auto got = send(*request);
    EXPECT_EQ(got.method, "GET");
    EXPECT_TRUE(got.body.empty());
    EXPECT_EQ(got.header("Content-Length"), std::nullopt);
    EXPECT_EQ(got.header("Content-Type"), std::nullopt);
    EXPECT_EQ(got.header("Accept-Encoding"), "gzip");
}

TEST_F(FormRequestTest, MethodsWithoutBodyKeepTheirName) {
    auto head = ASIHTTPRequest::requestWithURL(server.url("/form"));
    head->setRequestMethod("HEAD");
    head->startSynchronous();
    auto remove = ASIHTTPRequest::requestWithURL(server.url("/form"));
    remove->setRequestMethod("DELETE");
    remove->startSynchronous();
    // The pooled handle that sent HEAD must not leave later requests without a body.
    auto form = ASIFormDataRequest::requestWithURL(server.url("/form"));
    form->setPostValue("k", "v");
    form->startSynchronous();
    ASSERT_TRUE(server.waitForRequests(3));
    const auto all = server.requests();
    EXPECT_EQ(all[0].method, "HEAD");
    EXPECT_EQ(all[1].method, "DELETE");
    EXPECT_EQ(all[2].method, "POST");
    EXPECT_EQ(all[2].body, "k=v");
    EXPECT_EQ(form->responseString(), "ok");
}

TEST_F(FormRequestTest, EmptyFormIsAnEmptyPost) {
    auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
    const auto got = send(*request);
    EXPECT_EQ(got.method, "POST");
    EXPECT_EQ(got.header("Content-Length"), "0");
    EXPECT_TRUE(got.body.empty());
}

TEST_F(FormRequestTest, SequentialRequestsShareOneConnection) {
    for (int i = 0; i < 3; ++i) {
        auto request = ASIFormDataRequest::requestWithURL(server.url("/form"));
        request->setPostValue("i", std::to_string(i));
        request->startSynchronous();
        ASSERT_FALSE(request->error());
    }
    EXPECT_EQ(server.connectionsAccepted(), 1);
}

}  // namespace
}  // namespace oa

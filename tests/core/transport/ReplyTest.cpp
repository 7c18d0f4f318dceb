// Reading replies: cookies kept between requests, compressed bodies, redirects, charsets and
// the errors of failed exchanges.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <thread>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"

namespace oa {
namespace {

using test::CannedReply;
using test::HttpTestServer;

// Compresses with zlib framing (windowBits 15) or gzip framing (31).
std::string compress(const std::string& data, int windowBits) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

class ReplyTest : public ::testing::Test {
protected:
    void SetUp() override { ASIHTTPRequest::clearSession(); }

    std::shared_ptr<ASIFormDataRequest> post(const std::string& path) {
        auto request = ASIFormDataRequest::requestWithURL(server.url(path));
        request->setPostValue("k", "v");
        request->setTimeOutSeconds(10);
        request->startSynchronous();
        return request;
    }

    HttpTestServer server;
};

TEST_F(ReplyTest, CookiesSetByOneReplyGoWithTheNextRequest) {
    server.setReply("/login", {200,
                               {{"Set-Cookie", "PHPSESSID=abc123; path=/"},
                                {"Set-Cookie", "lang=zh; path=/mobile"}},
                               "ok"});
    server.setReply("/mobile/data.php", {200, {}, "data"});
    server.setReply("/other", {200, {}, "other"});
    EXPECT_FALSE(post("/login")->error());
    EXPECT_FALSE(post("/mobile/data.php")->error());
    auto plain = ASIHTTPRequest::requestWithURL(server.url("/other"));
    plain->startSynchronous();
    const auto all = server.requests();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].header("Cookie"), std::nullopt);
    const std::string sent = all[1].header("Cookie").value_or("");
    EXPECT_THAT(sent, ::testing::HasSubstr("PHPSESSID=abc123"));
    EXPECT_THAT(sent, ::testing::HasSubstr("lang=zh"));
    EXPECT_EQ(all[2].header("Cookie"), "PHPSESSID=abc123");  // path /mobile does not match
}

TEST_F(ReplyTest, CookiesAreSharedBetweenThreadsAndClearedBySession) {
    server.setReply("/set", {200, {{"Set-Cookie", "sid=t1; path=/"}}, ""});
    server.setReply("/get", {200, {}, ""});
    std::thread([&] { post("/set"); }).join();
    std::thread([&] { post("/get"); }).join();
    ASIHTTPRequest::clearSession();
    post("/get");
    const auto all = server.requests();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].header("Cookie"), "sid=t1");
    EXPECT_EQ(all[2].header("Cookie"), std::nullopt);
}

TEST_F(ReplyTest, GzipAndZlibBodiesAreInflated) {
    const std::string text = std::string(5000, 'a') + "中文 end";
    const struct {
        const char* encoding;
        int windowBits;
    } cases[] = {{"gzip", 31}, {"gzip", 15}, {"deflate", 15}, {"deflate", -15}, {"x-gzip", 31}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.encoding) + " " + std::to_string(c.windowBits));
        server.setReply("/z", {200,
                               {{"Content-Type", "text/plain; charset=utf-8"},
                                {"Content-Encoding", c.encoding}},
                               compress(text, c.windowBits)});
        auto request = post("/z");
        ASSERT_FALSE(request->error()) << request->error()->description;
        EXPECT_EQ(request->responseData(), text);
        EXPECT_EQ(request->responseString(), text);
    }
}

TEST_F(ReplyTest, UncompressedBodyIsLeftAlone) {
    const std::string gzipped = compress("x", 31);
    server.setReply("/raw", {200, {{"Content-Type", "application/octet-stream"}}, gzipped});
    auto request = post("/raw");
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseData(), gzipped);
}

TEST_F(ReplyTest, CorruptOrTruncatedCompressedBodyFails) {
    const std::string good = compress(std::string(10000, 'q'), 31);
    for (const std::string& body :
         {std::string("not compressed at all"), good.substr(0, good.size() / 2)}) {
        server.setReply("/bad", {200, {{"Content-Encoding", "gzip"}}, body});
        auto request = post("/bad");
        ASSERT_TRUE(request->error());
        EXPECT_EQ(request->error()->type, RequestErrorType::DecompressionFailed);
        EXPECT_TRUE(request->responseData().empty());
    }
}

TEST_F(ReplyTest, RedirectIsFollowedToTheFinalBody) {
    server.setReply("/old", {302, {{"Location", "/new"}}, "moved"});
    server.setReply("/new", {200, {{"Content-Type", "text/plain"}}, "final"});
    auto request = post("/old");
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseString(), "final");
    EXPECT_EQ(request->responseStatusCode(), 200);
    EXPECT_EQ(request->responseHeader("location"), std::nullopt);
    const auto all = server.requests();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].path, "/new");
}

TEST_F(ReplyTest, TemporaryRedirectResendsTheStreamedBody) {
    test::TempHome home;
    const auto path = home.path() / "voice.amr";
    std::ofstream(path, std::ios::binary) << std::string(200000, 'z');
    server.setReply("/old", {307, {{"Location", "/new"}}, ""});
    server.setReply("/new", {200, {}, "ok"});
    auto request = ASIFormDataRequest::requestWithURL(server.url("/old"));
    request->setPostValue("k", "v");
    request->setFile("f", path.string());
    request->startSynchronous();
    ASSERT_FALSE(request->error()) << request->error()->description;
    const auto all = server.requests();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].method, "POST");
    EXPECT_EQ(all[1].body.size(), all[0].body.size());
    EXPECT_TRUE(all[1].body == all[0].body);
    EXPECT_EQ(request->responseString(), "ok");
}

TEST_F(ReplyTest, TooManyRedirectsFail) {
    server.setReply("/loop", {302, {{"Location", "/loop"}}, ""});
    auto request = post("/loop");
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::TooManyRedirects);
    EXPECT_EQ(request->error()->description,
              "The request failed because it redirected too many times");
    EXPECT_LE(server.requests().size(), 7u);
}

TEST_F(ReplyTest, HttpErrorStatusIsAnOrdinaryReply) {
    server.setReply("/broken", {500, {{"Content-Type", "text/html"}}, "<b>oops</b>"});
    auto request = post("/broken");
    EXPECT_FALSE(request->error());
    EXPECT_EQ(request->responseStatusCode(), 500);
    EXPECT_EQ(request->responseString(), "<b>oops</b>");
}

struct CharsetCase {
    const char* name;
    const char* contentType;    // nullptr: no Content-Type header
    const char* callerDefault;  // nullptr: left at its default
    std::string body;
    std::string expected;
};

class CharsetTest : public ReplyTest, public ::testing::WithParamInterface<CharsetCase> {};

TEST_P(CharsetTest, DecodesWithTheNamedOrTheDefaultCharset) {
    const auto& c = GetParam();
    CannedReply reply{200, {}, c.body};
    if (c.contentType) {
        reply.headers.emplace_back("Content-Type", c.contentType);
    }
    server.setReply("/text", reply);
    auto request = ASIFormDataRequest::requestWithURL(server.url("/text"));
    if (c.callerDefault) {
        request->setDefaultResponseEncoding(c.callerDefault);
    }
    request->startSynchronous();
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseData(), c.body);
    EXPECT_EQ(request->responseString(), c.expected);
}

const std::string kUtf8 = "中文é";
const std::string kUtf8AsLatin1 =
    "\xC3\xA4\xC2\xB8\xC2\xAD\xC3\xA6\xC2\x96\xC2\x87\xC3\x83\xC2\xA9";

INSTANTIATE_TEST_SUITE_P(
    Replies, CharsetTest,
    ::testing::Values(
        CharsetCase{"MediaTypeWithoutCharsetIsLatin1", "text/plain", nullptr, kUtf8, kUtf8AsLatin1},
        CharsetCase{"NoContentTypeIsLatin1", nullptr, nullptr, "caf\xE9", "café"},
        CharsetCase{"CallerDefaultUtf8", "text/plain", "UTF-8", kUtf8, kUtf8},
        CharsetCase{"NamedCharsetWinsOverCallerDefault", "text/html; charset=GBK", "UTF-8",
                    "\xD6\xD0\xCE\xC4", "中文"},
        CharsetCase{"QuotedGb2312", "text/html; charset=\"gb2312\"", nullptr, "\xD6\xD0\xCE\xC4",
                    "中文"},
        CharsetCase{"NamedUtf8", "application/json;charset=UTF-8", nullptr, kUtf8, kUtf8},
        CharsetCase{"UnknownNamedCharsetFallsBackToDefault", "text/plain; charset=x-none", "UTF-8",
                    kUtf8, kUtf8},
        CharsetCase{"InvalidUtf8BecomesReplacementCharacters", "text/plain; charset=utf-8", nullptr,
                    "a\xFF"
                    "b\xE4\xB8",
                    "a\xEF\xBF\xBD"
                    "b\xEF\xBF\xBD\xEF\xBF\xBD"},
        CharsetCase{"InvalidGbkKeepsTheRest", "text/plain; charset=GBK", nullptr, "\xD6\xD0\xFF",
                    "中\xEF\xBF\xBD"},
        // A UTF-8 name the system converter reads with an option: what it lets through beyond
        // U+10FFFF is no UTF-8, and is replaced like any other invalid byte.
        CharsetCase{"Utf8WithConverterOptionStaysUtf8", "text/plain; charset=UTF-8//IGNORE",
                    nullptr,
                    "a\xF4\x96\xBB\x85"
                    "b",
                    "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                    "b"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ReplyTest, RefusedConnectionIsAConnectionFailure) {
    std::string url;
    {
        HttpTestServer gone;
        url = gone.url("/x");
    }
    auto request = ASIFormDataRequest::requestWithURL(url);
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->description, "A connection failure occurred");
}

}  // namespace
}  // namespace oa

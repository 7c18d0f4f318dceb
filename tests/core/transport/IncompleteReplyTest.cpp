// Replies that cannot be read whole: cut short, with a length that cannot be trusted, or in an
// encoding the transport cannot undo. They fail as a connection failure and leave no body
// behind, so that nothing half-read reaches a parser.
#include <gtest/gtest.h>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"

namespace oa {
namespace {

using test::HttpTestServer;

struct RawReply {
    const char* name;
    std::string raw;   // written as it is, then the server closes the connection
    bool readable;     // a complete reply that must still succeed
    std::string body;  // what a readable reply yields
};

void PrintTo(const RawReply& reply, std::ostream* out) {
    *out << reply.name;
}

class IncompleteReplyTest : public ::testing::TestWithParam<RawReply> {
protected:
    void SetUp() override { ASIHTTPRequest::clearSession(); }
    HttpTestServer server;
};

TEST_P(IncompleteReplyTest, FailsWithoutABodyUnlessComplete) {
    const RawReply& reply = GetParam();
    server.setHandler("/r", HttpTestServer::rawThenClose(reply.raw));
    for (const bool form : {true, false}) {
        SCOPED_TRACE(form ? "form request" : "plain request");
        std::shared_ptr<ASIHTTPRequest> request;
        if (form) {
            auto post = ASIFormDataRequest::requestWithURL(server.url("/r"));
            post->setPostValue("k", "v");
            request = post;
        } else {
            request = ASIHTTPRequest::requestWithURL(server.url("/r"));
        }
        request->setTimeOutSeconds(10);
        request->startSynchronous();
        if (reply.readable) {
            ASSERT_FALSE(request->error()) << request->error()->description;
            EXPECT_EQ(request->responseData(), reply.body);
        } else {
            ASSERT_TRUE(request->error());
            EXPECT_EQ(request->error()->type, RequestErrorType::ConnectionFailure);
            EXPECT_EQ(request->error()->description, "A connection failure occurred");
            EXPECT_EQ(request->responseData(), "");
            EXPECT_EQ(request->responseString(), "");
        }
    }
}

// The server closes after every reply, and says so, so that no request is sent on a
// connection it is closing.
const std::string kHead =
    "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: text/plain; charset=utf-8\r\n";

INSTANTIATE_TEST_SUITE_P(
    Replies, IncompleteReplyTest,
    ::testing::Values(
        RawReply{"ClosedBeforeContentLength",
                 kHead + "Content-Length: 100\r\n\r\n{\"status\":\"YES\"", false, ""},
        RawReply{"ClosedBeforeAnyBodyByte", kHead + "Content-Length: 5\r\n\r\n", false, ""},
        RawReply{"ClosedInTheHeaders", kHead + "Content-Len", false, ""},
        RawReply{"ContentLengthNotANumber", kHead + "Content-Length: abc\r\n\r\npartial", false,
                 ""},
        RawReply{"ContentLengthWithTrailingJunk", kHead + "Content-Length: 3x\r\n\r\nabcdef", false,
                 ""},
        RawReply{"ContentLengthNegative", kHead + "Content-Length: -1\r\n\r\nabc", false, ""},
        RawReply{"ContentLengthTooLargeForANumber",
                 kHead + "Content-Length: 999999999999999999999999\r\n\r\nabc", false, ""},
        RawReply{"ContentLengthEmpty", kHead + "Content-Length: \r\n\r\nabc", false, ""},
        RawReply{"TwoDifferentContentLengths",
                 kHead + "Content-Length: 3\r\nContent-Length: 6\r\n\r\nabcdef", false, ""},
        RawReply{"ListOfDifferentLengths", kHead + "Content-Length: 3, 6\r\n\r\nabcdef", false, ""},
        RawReply{"ChunkedClosedBeforeTheLastChunk",
                 kHead + "Transfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\n", false, ""},
        RawReply{"BrotliEncoded",
                 kHead + "Content-Encoding: br\r\nContent-Length: 6\r\n\r\n\x8b\x02\x80hi\x03",
                 false, ""},
        RawReply{"CompressEncoded", kHead + "Content-Encoding: compress\r\n\r\n\x1f\x9d\x90hi",
                 false, ""},
        RawReply{"GzipThenBrotli",
                 kHead + "Content-Encoding: gzip, br\r\nContent-Length: 3\r\n\r\nabc", false, ""},
        // Complete replies next to the broken ones.
        RawReply{"NoLengthReadToClose", kHead + "\r\nuntil the end", true, "until the end"},
        RawReply{"ExactContentLength", kHead + "Content-Length: 3\r\n\r\nabc", true, "abc"},
        RawReply{"RepeatedEqualContentLength",
                 kHead + "Content-Length: 3\r\nContent-Length: 3\r\n\r\nabc", true, "abc"},
        RawReply{"ListOfEqualLengths", kHead + "Content-Length: 3, 3\r\n\r\nabc", true, "abc"},
        RawReply{"IdentityEncoding",
                 kHead + "Content-Encoding: identity\r\nContent-Length: 2\r\n\r\nhi", true, "hi"},
        RawReply{"ChunkedComplete",
                 kHead + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n", true,
                 "abcde"},
        RawReply{"NoContentWithBrotliNamed",
                 "HTTP/1.1 204 No Content\r\nConnection: close\r\nContent-Encoding: br\r\n\r\n",
                 true, ""}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace oa

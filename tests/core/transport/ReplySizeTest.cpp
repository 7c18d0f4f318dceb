// The cap on a reply held in memory: plain, chunked without end, or inflating from a small
// compressed body, a reply past the cap fails cleanly and leaves no body behind.
#include <gtest/gtest.h>
#include <zlib.h>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"

namespace oa {
namespace {

using test::HttpTestServer;

constexpr std::size_t kMiB = 1u << 20;

// `megabytes` of zeros, gzip-compressed a megabyte at a time.
std::string gzipBomb(int megabytes) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
    const std::string zeros(kMiB, '\0');
    std::string out;
    char buffer[65536];
    for (int i = 0; i < megabytes; ++i) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        z.avail_in = static_cast<uInt>(zeros.size());
        const int flush = i + 1 == megabytes ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            out.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

class ReplySizeTest : public ::testing::Test {
protected:
    void SetUp() override { ASIHTTPRequest::clearSession(); }

    // A form request to `path`, with the given cap unless zero.
    std::shared_ptr<ASIFormDataRequest> post(const std::string& path, std::size_t cap = 0) {
        auto request = ASIFormDataRequest::requestWithURL(server.url(path));
        request->setPostValue("k", "v");
        if (cap > 0) {
            request->setMaxResponseSize(cap);
        }
        request->startSynchronous();
        return request;
    }

    static void expectTooLarge(const ASIHTTPRequest& request, std::size_t cap) {
        ASSERT_TRUE(request.error());
        EXPECT_EQ(request.error()->type, RequestErrorType::ResponseTooLarge);
        EXPECT_EQ(request.error()->description,
                  "The reply was larger than the limit of " + std::to_string(cap) + " bytes");
        EXPECT_TRUE(request.responseData().empty());
    }

    HttpTestServer server;
};

TEST_F(ReplySizeTest, EndlessChunkedReplyStopsAtTheDefaultCap) {
    ASSERT_EQ(ASIHTTPRequest::kDefaultMaxResponseSize, 64 * kMiB);
    EXPECT_EQ(ASIHTTPRequest::requestWithURL("http://127.0.0.1/")->maxResponseSize(), 64 * kMiB);
    // Far past the cap, yet finite, so that a transport without a cap ends with a body.
    server.setHandler("/endless", HttpTestServer::chunkedFlood(96 * kMiB));
    auto request = post("/endless");
    expectTooLarge(*request, 64 * kMiB);
}

TEST_F(ReplySizeTest, CapIsSetPerRequest) {
    const std::string exact(kMiB, 'a');
    server.setReply("/exact", {200, {}, exact});
    server.setReply("/over", {200, {}, exact + "b"});
    server.setHandler("/chunked", HttpTestServer::chunkedFlood(2 * kMiB));

    auto atCap = post("/exact", kMiB);
    ASSERT_FALSE(atCap->error()) << atCap->error()->description;
    EXPECT_EQ(atCap->responseData(), exact);

    expectTooLarge(*post("/over", kMiB), kMiB);
    expectTooLarge(*post("/chunked", kMiB), kMiB);

    // A larger cap lets the same chunked reply through whole.
    auto larger = post("/chunked", 4 * kMiB);
    ASSERT_FALSE(larger->error()) << larger->error()->description;
    EXPECT_EQ(larger->responseData(), std::string(2 * kMiB, 'x'));
}

TEST_F(ReplySizeTest, CompressedReplyIsCappedAfterInflating) {
    const std::string bomb = gzipBomb(100);  // about 100 KB on the wire
    ASSERT_LT(bomb.size(), 200 * 1024u);
    server.setReply("/bomb", {200, {{"Content-Encoding", "gzip"}}, bomb});
    expectTooLarge(*post("/bomb"), 64 * kMiB);

    // Right at the cap is still fine.
    auto exact = post("/bomb", 100 * kMiB);
    ASSERT_FALSE(exact->error()) << exact->error()->description;
    EXPECT_EQ(exact->responseData().size(), 100 * kMiB);
}

}  // namespace
}  // namespace oa

// The no-progress time-out: a silent server fails the request, a slowly dripping one does not;
// the deadline of a reply held in memory, which a dripping one does not escape; and cancelling a
// running synchronous request from another thread.
#include <gtest/gtest.h>

#include <thread>

#include "core/transport/ASIFormDataRequest.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"

namespace oa {
namespace {

using namespace std::chrono_literals;
using test::CapturedRequest;
using test::HttpTestServer;

TEST(TimeOutTest, DefaultIsTenSecondsForBothKinds) {
    EXPECT_EQ(ASIHTTPRequest::requestWithURL("http://127.0.0.1/")->timeOutSeconds(), 10.0);
    EXPECT_EQ(ASIFormDataRequest::requestWithURL("http://127.0.0.1/")->timeOutSeconds(), 10.0);
    EXPECT_EQ(ASIFormDataRequest::requestWithURL("http://127.0.0.1/")->deadlineSeconds(), 30.0);
}

TEST(TimeOutTest, SilentServerFailsTheRequest) {
    HttpTestServer server;
    server.setHandler("/silent", [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.holdUntilClosed();
    });
    server.setHandler("/half", [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
        ex.holdUntilClosed();
    });
    for (const char* path : {"/silent", "/half"}) {
        SCOPED_TRACE(path);
        auto request = ASIFormDataRequest::requestWithURL(server.url(path));
        request->setPostValue("k", "v");
        request->setTimeOutSeconds(0.3);
        request->startSynchronous();
        ASSERT_TRUE(request->error());
        EXPECT_EQ(request->error()->type, RequestErrorType::TimedOut);
        EXPECT_EQ(request->error()->description, "The request timed out");
    }
}

TEST(TimeOutTest, ReplyThatKeepsDrippingLongerThanTheTimeOutSucceeds) {
    HttpTestServer server;
    server.setHandler("/drip", [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n");
        for (int i = 0; i < 8; ++i) {
            if (!ex.sleepFor(150ms)) {
                return;
            }
            ex.write(std::string(1, static_cast<char>('a' + i)));
        }
    });
    auto request = ASIFormDataRequest::requestWithURL(server.url("/drip"));
    request->setTimeOutSeconds(0.4);  // the whole reply takes three times as long
    request->startSynchronous();
    ASSERT_FALSE(request->error()) << request->error()->description;
    EXPECT_EQ(request->responseString(), "abcdefgh");
}

TEST(TimeOutTest, HeadersDrippingAByteAtATimeKeepTheRequestAlive) {
    HttpTestServer server;
    // Each header line takes several time-outs to arrive, but a byte comes well within one.
    const std::string raw =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n"
        "X-Padding: " +
        std::string(40, 'p') + "\r\nContent-Length: 2\r\n\r\nok";
    server.setHandler("/slow-head", HttpTestServer::drip(raw, 1, 15ms));
    auto request = ASIFormDataRequest::requestWithURL(server.url("/slow-head"));
    request->setPostValue("k", "v");
    request->setTimeOutSeconds(0.25);
    request->startSynchronous();
    ASSERT_FALSE(request->error()) << request->error()->description;
    EXPECT_EQ(request->responseHeader("X-Padding"), std::string(40, 'p'));
    EXPECT_EQ(request->responseString(), "ok");

    // The same time-out still ends a reply that stops in the middle of a header line.
    server.setHandler("/stuck-head", [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.write("HTTP/1.1 200 OK\r\nContent-Ty");
        ex.holdUntilClosed();
    });
    auto stuck = ASIFormDataRequest::requestWithURL(server.url("/stuck-head"));
    stuck->setTimeOutSeconds(0.25);
    stuck->startSynchronous();
    ASSERT_TRUE(stuck->error());
    EXPECT_EQ(stuck->error()->type, RequestErrorType::TimedOut);
}

TEST(TimeOutTest, ReplyTricklingWithinTheTimeOutEndsAtTheDeadline) {
    HttpTestServer server;
    const std::string raw =
        "HTTP/1.1 200 OK\r\nContent-Length: 200\r\n\r\n" + std::string(200, 'x');
    server.setHandler("/trickle", HttpTestServer::drip(raw, 1, 300ms));
    auto request = ASIFormDataRequest::requestWithURL(server.url("/trickle"));
    request->setPostValue("USERNAME", "zhang");
    request->setDeadlineSeconds(1);
    const auto start = std::chrono::steady_clock::now();
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->description, "The request timed out");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);  // the whole reply takes a minute
}

TEST(TimeOutTest, DownloadHasNoDeadline) {
    HttpTestServer server;
    server.setHandler("/file", HttpTestServer::drip("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n"
                                                    "#!AM",
                                                    10, 200ms));
    test::TempHome home;
    auto request = ASIHTTPRequest::requestWithURL(server.url("/file"));
    request->setDownloadDestinationPath((home.path() / "voice.amr").string());
    request->setDeadlineSeconds(0.3);
    request->startSynchronous();
    EXPECT_FALSE(request->error()) << request->error()->description;
}

TEST(TimeOutTest, CancelFromAnotherThreadStopsARunningRequest) {
    HttpTestServer server;
    server.setHandler("/silent", [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
        ex.holdUntilClosed();
    });
    auto request = ASIFormDataRequest::requestWithURL(server.url("/silent"));
    request->setTimeOutSeconds(0);  // no time-out: only the cancel can end it
    std::thread canceller([&] {
        server.waitForRequests(1);
        request->cancel();
    });
    request->startSynchronous();
    canceller.join();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->description, "The request was cancelled");
    EXPECT_TRUE(request->isCancelled());

    // Once cancelled, starting again does not send.
    request->startSynchronous();
    EXPECT_EQ(request->error()->type, RequestErrorType::Cancelled);
    EXPECT_EQ(server.requests().size(), 1u);
}

}  // namespace
}  // namespace oa

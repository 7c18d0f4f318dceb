// Asynchronous requests: the shared queue's limit of four, callbacks on the main loop, and
// cancellation with and without callbacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/platform/ManualLoop.h"
#include "core/transport/ASIFormDataRequest.h"
#include "core/transport/RequestQueue.h"
#include "support/HttpTestServer.h"

namespace oa {
namespace {

using test::CapturedRequest;
using test::HttpTestServer;

// Records every callback as "<event> <tag>", and whether it came on the main thread.
class RecordingDelegate : public ASIHTTPRequestDelegate {
public:
    explicit RecordingDelegate(ManualLoop& loop) : loop_(loop) {}
    void requestStarted(ASIHTTPRequest& r) override { record("started", r); }
    void requestFinished(ASIHTTPRequest& r) override { record("finished", r); }
    void requestFailed(ASIHTTPRequest& r) override {
        record("failed", r);
        errors.push_back(r.error() ? r.error()->description : "no error");
    }

    std::vector<std::string> events;
    std::vector<std::string> errors;
    bool offMainThread = false;

private:
    void record(const char* what, ASIHTTPRequest& r) {
        offMainThread = offMainThread || !loop_.isMainThread();
        events.push_back(std::string(what) + " " + std::to_string(r.tag()));
    }
    ManualLoop& loop_;
};

class RequestQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        MainLoop::setMain(&loop);
        server.setHandler("/held", [](const CapturedRequest&, HttpTestServer::Exchange& ex) {
            if (ex.waitForRelease()) {
                ex.reply({200, {}, "released"});
            }
        });
    }
    void TearDown() override {
        server.stop();
        RequestQueue::shared().waitUntilIdle();
        loop.runPending();
        MainLoop::setMain(nullptr);
    }

    std::shared_ptr<ASIFormDataRequest> make(int tag, const std::string& path = "/held") {
        auto request = ASIFormDataRequest::requestWithURL(server.url(path));
        request->setPostValue("tag", std::to_string(tag));
        request->setTag(tag);
        request->setDelegate(&delegate);
        return request;
    }

    ManualLoop loop;
    RecordingDelegate delegate{loop};
    HttpTestServer server;
};

TEST_F(RequestQueueTest, AtMostFourRunAtOnceAndCallbacksArriveOnTheMainLoop) {
    std::vector<std::shared_ptr<ASIFormDataRequest>> requests;
    for (int tag = 0; tag < 10; ++tag) {
        requests.push_back(make(tag));
        requests.back()->startAsynchronous();
    }
    ASSERT_TRUE(server.waitForInFlight(4));
    EXPECT_EQ(RequestQueue::shared().runningCount(), 4);
    EXPECT_EQ(RequestQueue::shared().waitingCount(), 6);
    // Nothing is delivered until the main loop runs.
    EXPECT_TRUE(delegate.events.empty());
    loop.runPending();
    EXPECT_EQ(delegate.events.size(), 4u);
    // The queue starts them in order: the first four are the first four added.
    std::vector<std::string> firstBodies;
    for (const auto& got : server.requests()) {
        firstBodies.push_back(got.body);
    }
    std::sort(firstBodies.begin(), firstBodies.end());
    EXPECT_EQ(firstBodies, (std::vector<std::string>{"tag=0", "tag=1", "tag=2", "tag=3"}));

    for (int released = 1; released <= 10; ++released) {
        server.release();
        ASSERT_TRUE(loop.runUntil([&] {
            return std::count_if(delegate.events.begin(), delegate.events.end(),
                                 [](auto& e) { return e.rfind("finished", 0) == 0; }) == released;
        }));
    }
    EXPECT_EQ(server.peakInFlight(), 4);
    EXPECT_FALSE(delegate.offMainThread);
    ASSERT_EQ(delegate.events.size(), 20u);
    for (int tag = 0; tag < 10; ++tag) {
        const auto started = std::find(delegate.events.begin(), delegate.events.end(),
                                       "started " + std::to_string(tag));
        const auto finished = std::find(delegate.events.begin(), delegate.events.end(),
                                        "finished " + std::to_string(tag));
        EXPECT_LT(started, finished) << tag;
        EXPECT_EQ(requests[static_cast<std::size_t>(tag)]->responseString(), "released");
    }
    EXPECT_EQ(server.requests().size(), 10u);
}

TEST_F(RequestQueueTest, ClearDelegatesAndCancelMeansNoCallbackFollows) {
    auto request = make(7);
    request->startAsynchronous();
    ASSERT_TRUE(server.waitForInFlight(1));
    request->clearDelegatesAndCancel();
    ASSERT_TRUE(loop.runUntil([&] { return request->isFinished(); }));
    loop.runPending();
    EXPECT_TRUE(delegate.events.empty());
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::Cancelled);
}

TEST_F(RequestQueueTest, PlainCancelReportsTheFailure) {
    auto request = make(3);
    request->startAsynchronous();
    ASSERT_TRUE(server.waitForInFlight(1));
    request->cancel();
    ASSERT_TRUE(loop.runUntil([&] { return delegate.events.size() == 2; }));
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"started 3", "failed 3"}));
    EXPECT_EQ(delegate.errors, (std::vector<std::string>{"The request was cancelled"}));
}

TEST_F(RequestQueueTest, CancelAllDropsRunningAndWaitingRequestsSilently) {
    std::vector<std::shared_ptr<ASIFormDataRequest>> requests;
    for (int tag = 0; tag < 6; ++tag) {
        requests.push_back(make(tag));
        requests.back()->startAsynchronous();
    }
    ASSERT_TRUE(server.waitForInFlight(4));
    RequestQueue::shared().cancelAllRequests();
    ASSERT_TRUE(loop.runUntil([&] {
        return std::all_of(requests.begin(), requests.end(),
                           [](auto& r) { return r->isFinished(); });
    }));
    loop.runPending();
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_EQ(server.requests().size(), 4u);  // the two waiting ones were never sent
    for (const auto& request : requests) {
        EXPECT_EQ(request->error()->type, RequestErrorType::Cancelled);
    }
}

TEST_F(RequestQueueTest, RequestFailedBeforeStartReportsOnlyTheFailure) {
    auto request = make(5);
    request->setFile("f", "/nonexistent/voice.amr");
    request->startAsynchronous();
    ASSERT_TRUE(loop.runUntil([&] { return delegate.events.size() == 1; }));
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"failed 5"}));
    EXPECT_EQ(delegate.errors,
              (std::vector<std::string>{"No file exists at /nonexistent/voice.amr"}));
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(RequestQueueTest, ExpiredWeakDelegateHearsNothing) {
    server.setReply("/quick", {200, {}, "ok"});
    auto owned = std::make_shared<RecordingDelegate>(loop);
    auto request = make(1, "/quick");
    request->setDelegate(std::weak_ptr<ASIHTTPRequestDelegate>(owned));
    request->startAsynchronous();
    ASSERT_TRUE(loop.runUntil([&] { return owned->events.size() == 2; }));
    EXPECT_EQ(owned->events, (std::vector<std::string>{"started 1", "finished 1"}));

    auto second = make(2, "/quick");
    second->setDelegate(std::weak_ptr<ASIHTTPRequestDelegate>(owned));
    owned.reset();
    second->startAsynchronous();
    ASSERT_TRUE(loop.runUntil([&] { return second->isFinished(); }));
    loop.runPending();
    EXPECT_FALSE(second->error());
    EXPECT_TRUE(delegate.events.empty());
}

}  // namespace
}  // namespace oa

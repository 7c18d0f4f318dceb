// The newest-wins runner behind the lookup screens, with person searches against a loopback
// server whose first reply is held back: how many requests run, which result is delivered, and
// that a destroyed runner delivers nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ServerFixture.h"
#include "core/platform/LatestTaskRunner.h"
#include "core/platform/ManualLoop.h"
#include "core/protocol/UserBO.h"

namespace oa::test {
namespace {

constexpr char kPage[] = "/mobile/inc/get_contactlist.php";

class LatestTaskRunnerTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        MainLoop::setMain(&loop);
        // The reply names the keyword it answers; a search for `held_` waits for release().
        server.setHandler(
            kPage, [this](const CapturedRequest& request, HttpTestServer::Exchange& exchange) {
                std::string keyword;
                for (const auto& part : request.form()) {
                    if (part.name == "KWORD") {
                        keyword = part.value;
                    }
                }
                if (keyword == held_ && !exchange.waitForRelease()) {
                    return;
                }
                exchange.reply({200,
                                {{"Content-Type", "text/html; charset=utf-8"}},
                                R"([{"user_name":")" + keyword + R"("}])"});
            });
    }

    void TearDown() override {
        server.stop();
        joinBackgroundThreads();
        loop.runPending();
        MainLoop::setMain(nullptr);
        ServerFixture::TearDown();
    }

    // A person search whose delivery records the name found, counting finished searches.
    LatestTaskRunner::Work search(std::string keyword) {
        auto shown = shown_;
        auto finished = finished_;
        return [keyword, shown, finished]() -> Task {
            const UserBO::People people =
                UserBO::userList(UserBO().httpJsonInfo({{"name", keyword}}));
            ++*finished;
            const std::string name = people.empty() ? "" : people.front()->user_name.value_or("");
            return [shown, name] { shown->push_back(name); };
        };
    }

    std::vector<std::string> keywordsSent() const {
        std::vector<std::string> keywords;
        for (const auto& request : server.requests()) {
            for (const auto& [name, value] : fieldsOf(request)) {
                if (name == "KWORD") {
                    keywords.push_back(value);
                }
            }
        }
        return keywords;
    }

    ManualLoop loop;
    std::string held_ = "王";
    std::shared_ptr<std::vector<std::string>> shown_ = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<std::atomic<int>> finished_ = std::make_shared<std::atomic<int>>(0);
};

TEST_F(LatestTaskRunnerTest, QuickSearchesBehindAHeldOneRunTheNewestOnly) {
    LatestTaskRunner runner;
    runner.submit(search("王"));
    ASSERT_TRUE(server.waitForInFlight(1));
    runner.submit(search("王浩"));
    runner.submit(search("王浩然"));
    server.release();

    ASSERT_TRUE(loop.runUntil([&] { return !runner.isBusy() && !shown_->empty(); }));
    loop.runPending();
    EXPECT_EQ(keywordsSent(), (std::vector<std::string>{"王", "王浩然"}));
    EXPECT_EQ(server.peakInFlight(), 1);
    // The held reply for "王" came after newer text was typed: it is not shown.
    EXPECT_EQ(*shown_, (std::vector<std::string>{"王浩然"}));
}

TEST_F(LatestTaskRunnerTest, EachSearchAfterTheLastEndedRunsAndIsShown) {
    held_.clear();
    LatestTaskRunner runner;
    for (const char* keyword : {"李", "李娜"}) {
        runner.submit(search(keyword));
        ASSERT_TRUE(loop.runUntil([&] { return !runner.isBusy(); }));
        loop.runPending();
    }
    EXPECT_EQ(*shown_, (std::vector<std::string>{"李", "李娜"}));
}

TEST_F(LatestTaskRunnerTest, AResultWaitingForTheMainLoopYieldsToANewerSearch) {
    held_.clear();
    LatestTaskRunner runner;
    runner.submit(search("张"));
    // The result of "张" is posted but not yet delivered when "张伟" is typed.
    joinBackgroundThreads();
    ASSERT_FALSE(runner.isBusy());
    runner.submit(search("张伟"));
    ASSERT_TRUE(loop.runUntil([&] { return !runner.isBusy() && !shown_->empty(); }));
    loop.runPending();
    EXPECT_EQ(*shown_, (std::vector<std::string>{"张伟"}));
}

// Work that fails with an exception of any kind leaves the runner ready for the next.
TEST_F(LatestTaskRunnerTest, FailedWorkDoesNotStopTheRunner) {
    held_.clear();
    LatestTaskRunner runner;
    runner.submit([]() -> Task { throw 7; });
    joinBackgroundThreads();
    EXPECT_FALSE(runner.isBusy());
    runner.submit([]() -> Task { throw std::runtime_error("no reply"); });
    runner.submit(search("李娜"));
    ASSERT_TRUE(loop.runUntil([&] { return !runner.isBusy() && !shown_->empty(); }));
    EXPECT_EQ(*shown_, (std::vector<std::string>{"李娜"}));
}

TEST_F(LatestTaskRunnerTest, ADestroyedRunnerDeliversNothingAndDropsWhatWaits) {
    {
        LatestTaskRunner runner;
        runner.submit(search("王"));
        ASSERT_TRUE(server.waitForInFlight(1));
    }
    server.release();
    joinBackgroundThreads();
    loop.runPending();
    EXPECT_EQ(*finished_, 1);
    EXPECT_TRUE(shown_->empty());

    {
        LatestTaskRunner runner;
        runner.submit(search("王"));
        ASSERT_TRUE(server.waitForInFlight(1));
        runner.submit(search("王浩"));
    }
    server.release();
    joinBackgroundThreads();
    loop.runPending();
    EXPECT_EQ(*finished_, 2);
    EXPECT_EQ(keywordsSent(), (std::vector<std::string>{"王", "王"}));
    EXPECT_TRUE(shown_->empty());
}

}  // namespace
}  // namespace oa::test

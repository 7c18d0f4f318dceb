// The counters fetched again on module pushes: however many pushes arrive while a request runs,
// one more request follows, for their module or, when they name several, for every module.
#include <gmock/gmock.h>

#include <atomic>
#include <future>
#include <mutex>

#include "PushFixture.h"
#include "core/push/CounterRefresh.h"

namespace oa::test {
namespace {

using ::testing::ElementsAreArray;

struct BurstCase {
    const char* name;
    std::vector<std::string> pushes;  // module keys, pushed while the first request runs
    std::vector<std::string> fetched;
};

void PrintTo(const BurstCase& c, std::ostream* os) {
    *os << c.name;
}

class CounterRefreshTest : public PushFixture, public ::testing::WithParamInterface<BurstCase> {
protected:
    // Fetches that wait until released, as a slow server keeps the first request running.
    CounterRefresh::Counters fetch(const std::string& module) {
        {
            std::lock_guard lock(mutex_);
            fetched_.push_back(module);
        }
        release_.wait_for(std::chrono::seconds(30));
        return {{module, "1"}};
    }

    std::vector<std::string> fetched() {
        std::lock_guard lock(mutex_);
        return fetched_;
    }

    std::promise<void> released_;
    std::shared_future<void> release_ = released_.get_future().share();
    std::mutex mutex_;
    std::vector<std::string> fetched_;  // Guarded by mutex_.
};

TEST_P(CounterRefreshTest, BurstOfPushesMakesAtMostTwoRequests) {
    const BurstCase& c = GetParam();
    std::vector<std::string> applied;
    CounterRefresh refresh([this](const std::string& module) { return fetch(module); },
                           [&](const CounterRefresh::Counters& counters) {
                               applied.push_back(counters.begin()->first);
                           });
    signedIn();
    serviceKnown();
    for (const auto& module : c.pushes) {
        fake().inject("n^" + module);
    }
    loop.runPending();
    released_.set_value();
    ASSERT_TRUE(loop.runUntil([&] { return applied.size() == c.fetched.size(); }));
    loop.runUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_THAT(fetched(), ElementsAreArray(c.fetched));
    EXPECT_THAT(applied, ElementsAreArray(c.fetched));
}

INSTANTIATE_TEST_SUITE_P(
    Pushes, CounterRefreshTest,
    ::testing::Values(
        BurstCase{"One", {"email"}, {"email"}},
        BurstCase{"SameModule", std::vector<std::string>(2000, "email"), {"email", "email"}},
        BurstCase{"TwoModules", {"email", "notify"}, {"email", "notify"}},
        BurstCase{
            "SeveralModules", {"email", "notify", "notify", "news", "email"}, {"email", "INIT"}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace oa::test

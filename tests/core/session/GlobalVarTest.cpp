// The session state under concurrent use from request threads and the sign-in thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/session/GlobalVar.h"

namespace oa {
namespace {

TEST(GlobalVarTest, ConcurrentReadersOnlySeeWholeValues) {
    GlobalVar& state = GlobalVar::getInstance_global();
    state.resetForTesting();
    // Long texts, so that an unguarded copy would tear or touch freed memory.
    const std::vector<std::string> values{std::string(300, 'a'), std::string(700, 'b'),
                                          "http://" + std::string(1000, 'c')};
    state.setOa(values[0]);
    state.setSession_id(values[0]);
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> writers;
    for (std::size_t w = 0; w < 2; ++w) {
        writers.emplace_back([&, w] {
            for (std::size_t i = 0; i < 20000; ++i) {
                const std::string& value = values[(i + w) % values.size()];
                state.setOa(value);
                state.setSession_id(value);
                // uid comes and goes, as between two sign-ins whose replies differ.
                state.setUid(i % 2 ? std::optional<std::string>(value) : std::nullopt);
            }
        });
    }
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            auto whole = [&](const GlobalVar::Text& read) {
                return read && std::find(values.begin(), values.end(), *read) != values.end();
            };
            while (!stop) {
                const auto uid = state.uid();
                if (!whole(state.oa()) || !whole(state.session_id()) || (uid && !whole(uid))) {
                    ++bad;
                }
            }
        });
    }
    for (auto& thread : writers) {
        thread.join();
    }
    stop = true;
    for (auto& thread : readers) {
        thread.join();
    }
    EXPECT_EQ(bad, 0);
    state.resetForTesting();
    EXPECT_EQ(state.oa(), std::nullopt);
}

}  // namespace
}  // namespace oa

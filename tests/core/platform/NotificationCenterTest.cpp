// Notification delivery and observer removal, including removal from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/NotificationCenter.h"

namespace oa {
namespace {

TEST(NotificationCenterTest, DeliversByNameWithObjectOnPostingThread) {
    NotificationCenter center;
    std::vector<std::string> got;
    std::thread::id deliveredOn;
    auto a = center.addObserver("loginResult", [&](const Notification& n) {
        got.push_back(std::any_cast<std::string>(n.object));
        deliveredOn = std::this_thread::get_id();
    });
    auto b = center.addObserver("refresh", [&](const Notification& n) {
        got.push_back(n.object.has_value() ? "object" : "none");
    });
    std::thread([&] { center.post("loginResult", std::string("成功")); }).join();
    EXPECT_NE(deliveredOn, std::this_thread::get_id());
    center.post("refresh");
    center.post("unknown", 5);
    EXPECT_EQ(got, (std::vector<std::string>{"成功", "none"}));
}

TEST(NotificationCenterTest, DestroyedOrResetTokenStopsDelivery) {
    NotificationCenter center;
    int calls = 0;
    {
        auto token = center.addObserver("x", [&](const Notification&) { ++calls; });
        center.post("x");
    }
    center.post("x");
    auto token = center.addObserver("x", [&](const Notification&) { ++calls; });
    ObserverToken moved = std::move(token);
    center.post("x");
    moved.reset();
    EXPECT_FALSE(moved.isActive());
    center.post("x");
    EXPECT_EQ(calls, 2);
}

TEST(NotificationCenterTest, ObserverMayRemoveItselfAndOthersDuringDelivery) {
    NotificationCenter center;
    int first = 0;
    int second = 0;
    ObserverToken t2;
    ObserverToken t1 = center.addObserver("x", [&](const Notification&) {
        ++first;
        t1.reset();
        t2.reset();
    });
    t2 = center.addObserver("x", [&](const Notification&) { ++second; });
    center.post("x");
    center.post("x");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

TEST(NotificationCenterTest, ObserversComingAndGoingOnOtherThreadsWhilePosting) {
    NotificationCenter center;
    std::atomic<bool> stop{false};
    std::atomic<long> delivered{0};
    std::vector<std::thread> churn;
    for (int t = 0; t < 3; ++t) {
        churn.emplace_back([&] {
            while (!stop) {
                auto token = center.addObserver("tick", [&](const Notification&) { ++delivered; });
                std::this_thread::yield();
            }
        });
    }
    auto steady = center.addObserver("tick", [&](const Notification&) { ++delivered; });
    for (int i = 0; i < 20000; ++i) {
        center.post("tick");
    }
    stop = true;
    for (auto& t : churn) {
        t.join();
    }
    EXPECT_GE(delivered.load(), 20000);
}

}  // namespace
}  // namespace oa

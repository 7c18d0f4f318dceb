// The fault switch: the next `count` requests to one page answer the chosen status (and reach no
// page) or wait, then the page is served as usual again; other pages are untouched; only
// loopback clients may switch it, and a held-back request does not keep the server from
// stopping.
#include <gtest/gtest.h>
#include <ifaddrs.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "server/ServerFixture.h"

namespace oa::test {
namespace {

constexpr char kCalendarSubmit[] = "/mobile/calendar/submit.php";

class FaultSwitchTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        session_ = signIn("wanghao");
        ASSERT_FALSE(session_.empty());
    }

    httplib::Result fault(const Fields& fields) { return adminPost("/demo/admin/fault", fields); }

    httplib::Result submitEntry(const std::string& content) {
        return post(kCalendarSubmit, {{"P", session_},
                                      {"q_id", ""},
                                      {"cal_time", "09:05"},
                                      {"end_time", "10:00"},
                                      {"cal_level", "0"},
                                      {"cal_type", "1"},
                                      {"content", content}});
    }

    std::string firstEntryContent() {
        const auto list = nlohmann::json::parse(
            listPage("/mobile/calendar/data.php", session_, "loadList"), nullptr, false);
        return list.is_array() && !list.empty() ? list[0].value("content", "") : "";
    }

    // Waits until the server has logged `count` lines starting with `start`.
    bool waitForLogLine(const std::string& start, std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto lines = logLines();
            if (static_cast<std::size_t>(std::count_if(
                    lines.begin(), lines.end(),
                    [&](const auto& l) { return l.rfind(start, 0) == 0; })) >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::string session_;
};

TEST_F(FaultSwitchTest, CountsDownThenServesThePageAgain) {
    const auto set = fault({{"page", kCalendarSubmit}, {"count", "2"}, {"status", "503"}});
    ASSERT_TRUE(set);
    ASSERT_EQ(set->status, 200) << set->body;

    for (const char* content : {"第一次", "第二次"}) {
        const auto refused = submitEntry(content);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 503);
        EXPECT_EQ(refused->body.rfind("ERROR: ", 0), 0u) << refused->body;
        // The page never ran: nothing was stored.
        EXPECT_NE(firstEntryContent(), content);
    }
    // Other pages are not affected.
    EXPECT_NE(listPage("/mobile/calendar/data.php", session_, "loadList"), "");

    const auto third = submitEntry("第三次");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->status, 200) << third->body;
    EXPECT_EQ(firstEntryContent(), "第三次");
}

TEST_F(FaultSwitchTest, CountZeroSwitchesAFaultOff) {
    ASSERT_EQ(fault({{"page", kCalendarSubmit}, {"count", "5"}, {"status", "404"}})->status, 200);
    ASSERT_EQ(submitEntry("落空")->status, 404);
    ASSERT_EQ(fault({{"page", kCalendarSubmit}, {"count", "0"}})->status, 200);
    EXPECT_EQ(submitEntry("恢复")->status, 200);
}

TEST_F(FaultSwitchTest, ADelayedRequestHangsOnceAndDoesNotHoldUpTheStop) {
    ASSERT_EQ(fault({{"page", kCalendarSubmit}, {"count", "1"}, {"delay_ms", "60000"}})->status,
              200);
    auto impatient = client();
    impatient->set_read_timeout(1);
    const auto waited = impatient->Post(kCalendarSubmit, httplib::Params{{"P", session_}});
    EXPECT_FALSE(waited);
    // The count was one: the next request is served at once.
    const auto next = submitEntry("不再等待");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 200);

    // A request still held back when the server stops is let go and answered: the stop does
    // not wait for the delay to run out.
    ASSERT_EQ(fault({{"page", kCalendarSubmit}, {"count", "1"}, {"delay_ms", "60000"}})->status,
              200);
    bool heldAnswered = false;
    std::thread held([this, &heldAnswered] {
        auto patient = client();
        patient->set_read_timeout(30);
        heldAnswered =
            static_cast<bool>(patient->Post(kCalendarSubmit, httplib::Params{{"P", session_}}));
    });
    const bool arrived = waitForLogLine("fault switch: holding " + std::string(kCalendarSubmit), 2);
    server_->stop();
    held.join();
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(heldAnswered);
}

TEST_F(FaultSwitchTest, RefusesUnusableSettings) {
    const Fields bad[] = {
        {{"count", "1"}, {"status", "503"}},
        {{"page", "mobile/diary/submit.php"}, {"status", "503"}},
        {{"page", "/demo/admin/fault"}, {"status", "503"}},
        {{"page", kCalendarSubmit}},
        {{"page", kCalendarSubmit}, {"status", "503"}, {"delay_ms", "10"}},
        {{"page", kCalendarSubmit}, {"status", "200"}},
        {{"page", kCalendarSubmit}, {"status", "600"}},
        {{"page", kCalendarSubmit}, {"delay_ms", "0"}},
        {{"page", kCalendarSubmit}, {"delay_ms", "60001"}},
        {{"page", kCalendarSubmit}, {"count", "-1"}, {"status", "503"}},
        {{"page", kCalendarSubmit}, {"count", "1001"}, {"status", "503"}},
    };
    for (const Fields& fields : bad) {
        const auto reply = fault(fields);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 400) << reply->body;
    }
    EXPECT_EQ(submitEntry("照常")->status, 200);
}

// A non-loopback IPv4 address of this machine, if it has one.
std::optional<std::string> outwardAddress() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr &&
            std::string(text).rfind("127.", 0) != 0) {
            found = text;
        }
    }
    ::freeifaddrs(list);
    return found;
}

class FaultSwitchFromOutside : public FaultSwitchTest {
protected:
    void configure(ServerOptions& options) override { options.host = "0.0.0.0"; }
};

TEST_F(FaultSwitchFromOutside, AnswersLoopbackOnly) {
    const auto outward = outwardAddress();
    if (!outward) {
        GTEST_SKIP() << "this machine has no address besides loopback";
    }
    httplib::Client outside(*outward, server_->httpPort());
    outside.set_connection_timeout(5);
    const auto refused =
        outside.Post("/demo/admin/fault", adminHeaders(),
                     httplib::Params{{"page", kCalendarSubmit}, {"count", "1"}, {"status", "503"}});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 403);
    EXPECT_EQ(submitEntry("未受影响")->status, 200);
}

}  // namespace
}  // namespace oa::test

// Parsing a 10,000-item e-mail list reply into records, against only parsing the same text with
// nlohmann/json. Prints the ratio (records / bare parse); the target is at most 2.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "RatioReporter.h"
#include "core/protocol/JsonOperation.h"

namespace {

constexpr int kItems = 10000;

// An e-mail list page as the server writes it: newest first, every value a text.
const std::string& emailListReply() {
    static const std::string reply = [] {
        const char* subjects[] = {"关于五一劳动节放假安排的通知", "Re: 第二季度销售报表",
                                  "会议纪要（4月25日）", "请审批：差旅费报销单"};
        const char* senders[] = {"王晓明", "李娜", "张伟", "系统管理员"};
        nlohmann::json list = nlohmann::json::array();
        for (int i = 0; i < kItems; ++i) {
            list.push_back({{"q_id", std::to_string(100000 - i)},
                            {"read_flag", i % 3 == 0 ? "0" : "1"},
                            {"subject", subjects[i % 4]},
                            {"important_desc", i % 7 == 0 ? "重要" : ""},
                            {"send_time", "2013-04-27 09:15"},
                            {"from_name", senders[i % 4]},
                            {"has_attachment", i % 5 == 0 ? "1" : "0"}});
        }
        return list.dump();
    }();
    return reply;
}

void BM_JsonParseOnly(benchmark::State& state) {
    const std::string& reply = emailListReply();
    for (auto _ : state) {
        nlohmann::json doc = nlohmann::json::parse(reply, nullptr, false);
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(BM_JsonParseOnly)->Unit(benchmark::kMillisecond);

void BM_EmailListToRecords(benchmark::State& state) {
    const std::optional<std::string> reply = emailListReply();
    for (auto _ : state) {
        oa::JsonOperation parser;
        std::optional<oa::RecordList> records = parser.splitString(reply, "email");
        if (!records || records->size() != kItems) {
            state.SkipWithError("the reply did not parse into 10,000 records");
            break;
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply->size()));
}
BENCHMARK(BM_EmailListToRecords)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    oa::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double bare = reporter.time("BM_JsonParseOnly");
    const double records = reporter.time("BM_EmailListToRecords");
    if (bare > 0 && records > 0) {
        std::printf(
            "e-mail list of %d items (%zu bytes), best CPU time: bare parse %.1f ms, "
            "records %.1f ms; records / bare parse = %.2fx (target <= 2x)\n",
            kItems, emailListReply().size(), bare, records, records / bare);
    }
    return 0;
}

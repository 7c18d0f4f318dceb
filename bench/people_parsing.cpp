// Parsing a 5,000-person search reply into people, against only parsing the same text with
// nlohmann/json. Prints the ratio (people / bare parse); the target is at most 2.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "RatioReporter.h"
#include "core/protocol/UserBO.h"

namespace {

constexpr int kPeople = 5000;

// A person search reply as the server writes it, every value a text.
const std::string& searchReply() {
    static const std::string reply = [] {
        const char* names[] = {"王浩", "王建国", "王芳华", "王伟"};
        const char* roles[] = {"软件工程师", "总经理", "助理", "会计"};
        const char* depts[][2] = {{"技术研发部", "青禾科技/技术研发部"},
                                  {"总经理办公室", "青禾科技/总经理办公室"},
                                  {"行政人事部", "青禾科技/行政人事部"},
                                  {"财务部", "青禾科技/财务部"}};
        nlohmann::json list = nlohmann::json::array();
        for (int i = 0; i < kPeople; ++i) {
            list.push_back({{"user_uid", std::to_string(1001 + i)},
                            {"user_id", "staff" + std::to_string(i + 1)},
                            {"user_name", names[i % 4]},
                            {"priv_name", roles[i % 4]},
                            {"dept_name", depts[i % 4][0]},
                            {"dept_long_name", depts[i % 4][1]},
                            {"sex", i % 2 == 0 ? "0" : "1"},
                            {"avatar", i % 2 == 0 ? "0" : "1"}});
        }
        return list.dump();
    }();
    return reply;
}

void BM_JsonParseOnly(benchmark::State& state) {
    const std::string& reply = searchReply();
    for (auto _ : state) {
        nlohmann::json doc = nlohmann::json::parse(reply, nullptr, false);
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(BM_JsonParseOnly)->Unit(benchmark::kMillisecond);

void BM_SearchReplyToPeople(benchmark::State& state) {
    const std::optional<std::string> reply = searchReply();
    for (auto _ : state) {
        oa::UserBO::People people = oa::UserBO::userList(reply);
        if (people.size() != kPeople) {
            state.SkipWithError("the reply did not parse into 5,000 people");
            break;
        }
        benchmark::DoNotOptimize(people);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply->size()));
}
BENCHMARK(BM_SearchReplyToPeople)->Unit(benchmark::kMillisecond);

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
    const double people = reporter.time("BM_SearchReplyToPeople");
    if (bare > 0 && people > 0) {
        std::printf(
            "person search reply of %d people (%zu bytes), best CPU time: bare parse %.1f ms, "
            "people %.1f ms; people / bare parse = %.2fx (target <= 2x)\n",
            kPeople, searchReply().size(), bare, people, people / bare);
    }
    return 0;
}

// The console reporter of the benchmarks that print ratios: it prints as usual and keeps each
// benchmark's best time per iteration (CPU time, or real time for a benchmark measured in real
// time). The machine is shared, so single runs and wall time are noisy.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace oa::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                const std::string name = run.run_name.function_name;
                const double time = run.run_name.time_type.empty() ? run.GetAdjustedCPUTime()
                                                                   : run.GetAdjustedRealTime();
                auto [it, added] = best_.emplace(name, time);
                if (!added && time < it->second) {
                    it->second = time;
                }
            }
        }
    }

    // The best time of the benchmark `name` in its own unit; 0 when it did not run.
    double time(const std::string& name) const {
        auto it = best_.find(name);
        return it == best_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> best_;
};

}  // namespace oa::bench

// Running the oa-cli built beside the tests, and reading what it printed.
#pragma once

#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "integration/Subprocess.h"

namespace oa::test {

struct CliRun {
    std::optional<int> exitCode;
    std::string out;
    std::string err;
};

inline std::vector<std::string> cliCommand(std::vector<std::string> args) {
    args.insert(args.begin(), OA_CLI_PATH);
    return args;
}

// Waits for a started oa-cli to end and collects its outputs.
inline CliRun finish(Subprocess& process) {
    CliRun result;
    result.exitCode = process.wait(std::chrono::seconds(120));
    result.out = process.out();
    result.err = process.err();
    return result;
}

inline CliRun runCli(std::vector<std::string> args) {
    Subprocess process(cliCommand(std::move(args)));
    if (!process.started()) {
        return {};
    }
    return finish(process);
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace oa::test

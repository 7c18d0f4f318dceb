// The commands of oa-cli. Each command file registers itself with OA_CLI_COMMAND.
#pragma once

#include <string>
#include <vector>

namespace oa::cli {

using Args = std::vector<std::string>;
// Runs a command with the arguments after its name; returns the process exit code.
using CommandFn = int (*)(const Args& args);

struct Command {
    const char* name;
    const char* usage;
    CommandFn run;
};

bool registerCommand(const Command& command);
const std::vector<Command>& commands();

// Removes "--name VALUE" (or "--name=VALUE") from args into value; false when absent.
bool takeOption(Args& args, const std::string& name, std::string& value);
// Removes "--name" from args and returns whether it was there.
bool takeFlag(Args& args, const std::string& name);
// Prints "oa-cli: <message>" to stderr and returns 1.
int fail(const std::string& message);

}  // namespace oa::cli

#define OA_CLI_CONCAT_INNER(a, b) a##b
#define OA_CLI_CONCAT(a, b) OA_CLI_CONCAT_INNER(a, b)
#define OA_CLI_COMMAND(name, usage, fn)                                              \
    static const bool OA_CLI_CONCAT(oa_cli_registered_, __LINE__) [[maybe_unused]] = \
        ::oa::cli::registerCommand({name, usage, fn})

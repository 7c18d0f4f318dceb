// oa-cli: the client's core without a window.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"
#include "core/session/HomeCheck.h"
#include "core/session/TrustPlist.h"

namespace {

// The --home of any command, read before the command runs so that the home is checked before
// anything is read from it. Options end at "--", as every command reads them.
void useHomeOption(oa::cli::Args args) {
    args.erase(std::find(args.begin(), args.end(), "--"), args.end());
    std::string home;
    if (oa::cli::takeOption(args, "--home", home) && !home.empty()) {
        oa::AppPaths::setCurrent(oa::AppPaths::resolve(std::filesystem::path(home)));
    }
}

// Takes --verbose, wherever it stands before "--", out of a command's arguments.
bool takeVerboseFlag(oa::cli::Args& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    const auto flag = std::find(args.begin(), end, "--verbose");
    if (flag == end) {
        return false;
    }
    args.erase(flag);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace oa::cli;
    Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << "usage: oa-cli COMMAND [ARGS] [--verbose]\n\n"
                     "--verbose also prints the client's diagnostic lines on stderr.\n\n"
                     "commands:\n";
        for (const auto& command : commands()) {
            std::cout << "  " << command.name << " " << command.usage << "\n";
        }
        return args.empty() ? 2 : 0;
    }
    const std::string name = args[0];
    args.erase(args.begin());
    oa::setDiagnosticsShown(takeVerboseFlag(args));
    for (const auto& command : commands()) {
        if (name == command.name) {
            useHomeOption(args);
            if (const auto problem = oa::HomeCheck::prepare()) {
                return fail(*problem);
            }
            // Every request of every command pins the servers the home trusts.
            oa::TrustPlist::installAsPinSource();
            return command.run(args);
        }
    }
    return fail("unknown command \"" + name + "\" (see oa-cli --help)");
}

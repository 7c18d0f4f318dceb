// oa-cli: the client's core without a window.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "core/session/TrustPlist.h"

int main(int argc, char** argv) {
    using namespace oa::cli;
    Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << "usage: oa-cli COMMAND [ARGS]\n\ncommands:\n";
        for (const auto& command : commands()) {
            std::cout << "  " << command.name << " " << command.usage << "\n";
        }
        return args.empty() ? 2 : 0;
    }
    // Every request of every command pins the servers the home trusts.
    oa::TrustPlist::installAsPinSource();
    const std::string name = args[0];
    args.erase(args.begin());
    for (const auto& command : commands()) {
        if (name == command.name) {
            return command.run(args);
        }
    }
    return fail("unknown command \"" + name + "\" (see oa-cli --help)");
}

// The command registry and argument helpers of oa-cli.
#include "cli/Command.h"

#include <algorithm>
#include <iostream>

namespace oa::cli {

static std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

bool registerCommand(const Command& command) {
    registry().push_back(command);
    return true;
}

const std::vector<Command>& commands() {
    auto& all = registry();
    std::sort(all.begin(), all.end(), [](const Command& a, const Command& b) {
        return std::string(a.name) < std::string(b.name);
    });
    return all;
}

bool takeOption(Args& args, const std::string& name, std::string& value) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == name && std::next(it) != args.end()) {
            value = *std::next(it);
            args.erase(it, it + 2);
            return true;
        }
        if (it->rfind(name + "=", 0) == 0) {
            value = it->substr(name.size() + 1);
            args.erase(it);
            return true;
        }
    }
    return false;
}

bool takeFlag(Args& args, const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) {
        return false;
    }
    args.erase(it);
    return true;
}

int fail(const std::string& message) {
    std::cerr << "oa-cli: " << message << "\n";
    return 1;
}

}  // namespace oa::cli

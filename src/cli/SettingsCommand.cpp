// oa-cli settings: shows and edits the sign-in record and the network environments of a home.
#include <algorithm>
#include <array>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "core/platform/AppPaths.h"
#include "core/session/PlistManager.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "[--home DIR] show [--show-password] | login NAME PASSWORD ADDRESS ENVKEY [--no-remember] "
    "[--auto] | env N NAME ADDRESS | port PORT\n"
    "      show masks the password unless --show-password is given; login stores the sign-in\n"
    "      record (ENVKEY name1, name2 or name3; remember on and automatic sign-in off unless\n"
    "      flagged); env sets network environment N (1-3); port sets the IM service port.\n"
    "      Arguments after \"--\" are never read as options.";

void printField(const std::string& key, const std::string& value) {
    std::cout << "  " << std::left << std::setw(14) << key << value << "\n";
}

std::string shown(const std::optional<std::string>& text) {
    return text ? "\"" + *text + "\"" : "(absent)";
}

int show(bool showPassword) {
    PlistManager store;
    const LoginVO record = store.getLoginInfo();
    std::cout << "sign-in record: " << store.datafilePath().string() << "\n";
    printField("userName", shown(record.name));
    const std::string password = record.pwd.value_or("");
    if (showPassword || password.empty()) {
        printField("userPassword", shown(password));
    } else {
        printField("userPassword", "******** (masked; --show-password shows it)");
    }
    printField("OA", shown(record.oa));
    printField("OAName", shown(record.oaName));
    printField("OAKey", shown(record.oaKey));
    printField("isRemember", record.isRem ? "true" : "false");
    printField("isAutoLogin", record.isAuto ? "true" : "false");

    std::cout << "settings: " << store.dataSetFilePath().string() << "\n";
    const auto settings = store.getSetInfo();
    if (!settings) {
        std::cout << "  (no settings file)\n";
        return 0;
    }
    auto value = [&](const std::string& key) -> std::optional<std::string> {
        auto it = settings->find(key);
        return it == settings->end() ? std::nullopt : std::optional(it->second);
    };
    const std::array<std::string, 7> known{"name1", "ip1", "name2",  "ip2",
                                           "name3", "ip3", "im_port"};
    for (const auto& key : known) {
        printField(key, shown(value(key)));
    }
    for (const auto& [key, text] : *settings) {
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            printField(key, shown(text));
        }
    }
    return 0;
}

int login(const Args& positional, bool remember, bool automatic) {
    if (positional.size() != 4) {
        return fail("settings login needs NAME PASSWORD ADDRESS ENVKEY");
    }
    const std::string& key = positional[3];
    if (key != "name1" && key != "name2" && key != "name3") {
        return fail("settings login: ENVKEY must be name1, name2 or name3, not \"" + key + "\"");
    }
    PlistManager store;
    LoginVO record;
    record.name = positional[0];
    record.pwd = positional[1];
    record.oa = positional[2];
    record.oaKey = key;
    // The display name is the chosen environment's, as the environment chooser would set it.
    if (auto settings = store.getSetInfo()) {
        if (auto it = settings->find(key); it != settings->end()) {
            record.oaName = it->second;
        }
    }
    record.isRem = remember;
    record.isAuto = automatic;
    if (!store.setLoginInfo(record)) {
        return fail("cannot write " + store.datafilePath().string());
    }
    std::cout << "saved " << store.datafilePath().string() << "\n";
    return 0;
}

// Sets the given keys of the settings file, keeping the others, also those that another
// command running at the same time sets.
int updateSettings(const SetDictionary& changes) {
    PlistManager store;
    if (!store.updateSetInfo(changes)) {
        return fail("cannot write " + store.dataSetFilePath().string());
    }
    std::cout << "saved " << store.dataSetFilePath().string() << "\n";
    return 0;
}

int env(const Args& positional) {
    if (positional.size() != 3) {
        return fail("settings env needs N NAME ADDRESS");
    }
    const std::string& n = positional[0];
    if (n != "1" && n != "2" && n != "3") {
        return fail("settings env: N must be 1, 2 or 3, not \"" + n + "\"");
    }
    return updateSettings({{"name" + n, positional[1]}, {"ip" + n, positional[2]}});
}

int port(const Args& positional) {
    if (positional.size() != 1) {
        return fail("settings port needs PORT");
    }
    const std::string& text = positional[0];
    const bool digits =
        !text.empty() && text.size() <= 5 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoi(text) < 1 || std::stoi(text) > 65535) {
        return fail("settings port: PORT must be a number from 1 to 65535, not \"" + text + "\"");
    }
    return updateSettings({{"im_port", text}});
}

int run(const Args& input) {
    // Options are read only before "--", so that a password such as "--auto" can be given.
    Args options(input.begin(), std::find(input.begin(), input.end(), "--"));
    Args rest(std::find(input.begin(), input.end(), "--"), input.end());
    if (!rest.empty()) {
        rest.erase(rest.begin());
    }

    std::string home;
    if (takeOption(options, "--home", home)) {
        if (home.empty()) {
            return fail("settings: --home needs a folder");
        }
        AppPaths::setCurrent(AppPaths::resolve(std::filesystem::path(home)));
    } else if (takeFlag(options, "--home")) {
        return fail("settings: --home needs a folder");
    }
    const bool showPassword = takeFlag(options, "--show-password");
    const bool noRemember = takeFlag(options, "--no-remember");
    const bool automatic = takeFlag(options, "--auto");
    for (const auto& arg : options) {
        if (arg.size() > 1 && arg[0] == '-') {
            return fail("settings: unknown option \"" + arg + "\" (see oa-cli --help)");
        }
    }
    options.insert(options.end(), rest.begin(), rest.end());
    if (options.empty()) {
        return fail("settings needs show, login, env or port (see oa-cli --help)");
    }
    const std::string sub = options.front();
    const Args positional(options.begin() + 1, options.end());
    if ((showPassword && sub != "show") || ((noRemember || automatic) && sub != "login")) {
        return fail("settings: option given to the wrong subcommand (see oa-cli --help)");
    }
    if (sub == "show") {
        if (!positional.empty()) {
            return fail("settings show takes no arguments");
        }
        return show(showPassword);
    }
    if (sub == "login") {
        return login(positional, !noRemember, automatic);
    }
    if (sub == "env") {
        return env(positional);
    }
    if (sub == "port") {
        return port(positional);
    }
    return fail("settings: unknown subcommand \"" + sub + "\" (see oa-cli --help)");
}

}  // namespace

OA_CLI_COMMAND("settings", kUsage, run);

}  // namespace oa::cli

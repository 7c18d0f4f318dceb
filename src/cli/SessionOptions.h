// What every server command of oa-cli shares: the options --home, --server, --user and
// --password, and signing in before the command's own request.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace oa::cli {

// The usage text of the shared options, for the commands' own usage lines.
extern const char* const kSessionUsage;

class SessionOptions {
public:
    // Options are read only before "--", so that a text such as "--x" can still be sent.
    SessionOptions(std::string command, const Args& args);

    // The command's own options, taken before parse().
    bool takeOption(const std::string& name, std::string& value);
    bool takeFlag(const std::string& name);

    // Reads the shared options (switching to the --home folder) and hands back the positional
    // arguments. Returns 0, or the exit code after reporting an unknown or incomplete option.
    int parse(Args& positional);

    // Signs in as the client does (the record is stored under the home, then the form is sent):
    // the stored sign-in record, with the address, name and password given as options in place
    // of the stored ones. Returns 0, or the exit code after reporting why it failed.
    int signIn();
    // The module list of the last successful signIn().
    const std::vector<std::string>& modules() const { return modules_; }

    // "oa-cli <command>: <message>" on stderr; returns 1.
    int fail(const std::string& message) const;
    // Right after a request object's call: 0 when its exchange with the server succeeded (also
    // when the page was empty); otherwise reports why it failed and returns 1.
    int checkExchange() const;

private:
    std::string command_;
    Args options_;
    Args rest_;
    std::optional<std::string> server_;
    std::optional<std::string> user_;
    std::optional<std::string> password_;
    std::vector<std::string> modules_;
};

}  // namespace oa::cli

// Shared options and sign-in of the oa-cli server commands.
#include "cli/SessionOptions.h"

#include <algorithm>
#include <any>
#include <filesystem>

#include "core/platform/AppPaths.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/HttpRequest.h"
#include "core/session/LoginBO.h"
#include "core/session/TrustQuestion.h"
#include "core/session/UrlText.h"

namespace oa::cli {

const char* const kSessionUsage =
    "[--home DIR] [--server URL] [--user NAME] [--password PWD]   (SESSION-OPTIONS)\n"
    "      Signs in first with the stored sign-in record of the home (DIR, else $OA_HOME, ...);\n"
    "      --server, --user and --password replace its values, and the record used is stored,\n"
    "      as the client does. Arguments after \"--\" are never read as options.";

SessionOptions::SessionOptions(std::string command, const Args& args)
    : command_(std::move(command)) {
    const auto separator = std::find(args.begin(), args.end(), "--");
    options_.assign(args.begin(), separator);
    if (separator != args.end()) {
        rest_.assign(std::next(separator), args.end());
    }
}

bool SessionOptions::takeOption(const std::string& name, std::string& value) {
    return cli::takeOption(options_, name, value);
}

bool SessionOptions::takeFlag(const std::string& name) {
    return cli::takeFlag(options_, name);
}

int SessionOptions::fail(const std::string& message) const {
    return cli::fail(command_ + ": " + message);
}

int SessionOptions::checkExchange() const {
    if (const auto failure = HttpRequest::lastFailure()) {
        return fail("the exchange with the server failed: " + failure->reason());
    }
    return 0;
}

int SessionOptions::parse(Args& positional) {
    std::string value;
    if (takeOption("--home", value)) {
        if (value.empty()) {
            return fail("--home needs a folder");
        }
        AppPaths::setCurrent(AppPaths::resolve(std::filesystem::path(value)));
    }
    const std::pair<const char*, std::optional<std::string>*> shared[] = {
        {"--server", &server_}, {"--user", &user_}, {"--password", &password_}};
    for (const auto& [name, target] : shared) {
        if (takeOption(name, value)) {
            *target = value;
        }
    }
    for (const auto& arg : options_) {
        if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown or incomplete option \"" + arg + "\" (see oa-cli --help)");
        }
    }
    positional = options_;
    positional.insert(positional.end(), rest_.begin(), rest_.end());
    return 0;
}

int SessionOptions::signIn() {
    LoginBO bo;
    LoginVO record = bo.getPlistInfo();
    if (server_) {
        record.oa = UrlText(*server_);
    }
    if (user_) {
        record.name = *user_;
    }
    if (password_) {
        record.pwd = *password_;
    }
    if (!record.oa || record.oa->empty()) {
        return fail("no server address: give --server URL or store one (oa-cli settings login)");
    }

    std::any result;
    {
        // The result is posted on this thread before loginOperation returns.
        ObserverToken token = NotificationCenter::defaultCenter().addObserver(
            LoginBO::kLoginResult, [&result](const Notification& note) { result = note.object; });
        bo.loginOperation(record);
    }
    if (const auto* modules = std::any_cast<std::vector<std::string>>(&result)) {
        modules_ = *modules;
        return 0;
    }
    if (const auto* message = std::any_cast<std::string>(&result)) {
        return fail("sign-in to " + *record.oa + " failed:" + *message);
    }
    if (const auto* question = std::any_cast<TrustQuestion>(&result)) {
        return fail("sign-in to " + *record.oa + " refused: " + question->title() + "\n" +
                    question->message() + "\n(oa-cli trust add " + question->hostPort +
                    " trusts it)");
    }
    return fail("sign-in to " + *record.oa + " gave no result");
}

}  // namespace oa::cli

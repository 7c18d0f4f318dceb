// oa-cli http: sends one form or plain request through the transport and prints the reply, or
// saves it to a file with --output; a status outside 200-299 fails the command.
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "core/protocol/ExchangeFailure.h"
#include "core/transport/ASIFormDataRequest.h"

namespace oa::cli {
namespace {

int runHttp(const Args& arguments) {
    Args args = arguments;
    const bool get = takeFlag(args, "--get");
    const bool utf8 = takeFlag(args, "--utf8");
    std::string timeout;
    const bool hasTimeout = takeOption(args, "--timeout", timeout);
    std::string output;
    const bool hasOutput = takeOption(args, "--output", output);
    if (hasOutput && output.empty()) {
        return fail("--output needs a file");
    }

    std::string url;
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-d" || arg == "-F") {
            if (i + 1 == args.size()) {
                return fail(arg + " needs KEY=VALUE");
            }
            const std::string& pair = args[++i];
            const auto equals = pair.find('=');
            if (equals == std::string::npos || equals == 0) {
                return fail(arg + " needs KEY=VALUE, got \"" + pair + "\"");
            }
            std::string key = pair.substr(0, equals);
            std::string value = pair.substr(equals + 1);
            if (arg == "-F" && !value.empty() && value[0] == '@') {
                files.emplace_back(std::move(key), value.substr(1));
            } else {
                fields.emplace_back(std::move(key), std::move(value));
            }
        } else if (url.empty() && arg.rfind("-", 0) != 0) {
            url = arg;
        } else {
            return fail("unexpected argument \"" + arg + "\"");
        }
    }
    if (url.empty()) {
        return fail("http needs a URL");
    }
    if (get && (!fields.empty() || !files.empty())) {
        return fail("--get sends no form fields");
    }

    std::shared_ptr<ASIHTTPRequest> request;
    if (get) {
        request = ASIHTTPRequest::requestWithURL(url);
    } else {
        auto form = ASIFormDataRequest::requestWithURL(url);
        for (const auto& [key, value] : fields) {
            form->addPostValue(key, value);
        }
        for (const auto& [key, path] : files) {
            form->addFile(key, path);
        }
        request = form;
    }
    if (hasTimeout) {
        try {
            request->setTimeOutSeconds(std::stod(timeout));
        } catch (const std::exception&) {
            return fail("--timeout needs seconds, got \"" + timeout + "\"");
        }
    }
    if (utf8) {
        request->setDefaultResponseEncoding("UTF-8");
    }
    if (hasOutput) {
        // Saved whole or not at all: a failed download leaves no file behind.
        request->setDownloadDestinationPath(output);
    }
    request->startSynchronous();
    if (request->error()) {
        std::cerr << request->error()->description << "\n";
        return 1;
    }
    // The body of a status outside 200-299 is printed all the same: it is the server's explanation.
    // A successful reply saved to --output is in the file instead.
    std::cout << request->responseString();
    if (const auto failure = ExchangeFailure::of(*request)) {
        return fail("http: " + failure->reason());
    }
    return 0;
}

}  // namespace

OA_CLI_COMMAND("http",
               "[--get] URL [-d KEY=VALUE]... [-F KEY=@PATH]... [--timeout S] [--utf8] "
               "[--output FILE]",
               runHttp);

}  // namespace oa::cli

// oa-demo-server: runs the demo OA server until SIGINT or SIGTERM, or sends one admin event to a
// running server ("oa-demo-server event ...").
#include <httplib.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "server/DemoServer.h"
#include "server/ServerOptions.h"

namespace {

int sendEvent(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << oa::ServerOptions::usage();
        return 2;
    }
    std::string host = "127.0.0.2";
    int port = 8080;
    httplib::Params params{{"kind", args[0]}};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (i + 1 >= args.size()) {
            std::cerr << flag << " needs a value\n";
            return 2;
        }
        const std::string& value = args[++i];
        if (flag == "--host") {
            host = value;
        } else if (flag == "--http-port") {
            port = std::atoi(value.c_str());
        } else if (flag == "--to" || flag == "--from" || flag == "--subject" ||
                   flag == "--content" || flag == "--sms-type" || flag == "--voice") {
            std::string key = flag.substr(2);
            if (key == "sms-type") {
                key = "sms_type";
            }
            params.emplace(key, value);
        } else {
            std::cerr << "unknown argument: " << flag << "\n";
            return 2;
        }
    }
    httplib::Client client(host, port);
    const auto res = client.Post("/demo/admin/event", params);
    if (!res) {
        std::cerr << "no answer from " << host << ":" << port << "\n";
        return 1;
    }
    std::cout << res->body << "\n";
    return res->status == 200 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "event") {
        return sendEvent({args.begin() + 1, args.end()});
    }
    const auto parsed = oa::ServerOptions::parse(args);
    if (!parsed.options) {
        (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.message;
        return parsed.exitCode;
    }

    // Every thread inherits the blocked signals, so only sigwait() below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    oa::DemoServer server(*parsed.options);
    std::string error;
    if (!server.start(&error)) {
        std::cerr << "oa-demo-server: " << error << "\n";
        return 1;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    const auto& options = server.options();
    std::printf("oa-demo-server: %s %s:%u im %s:%u db %s%s, ready in %lld ms\n",
                server.tls() ? "https" : "http", options.host.c_str(), server.httpPort(),
                options.host.c_str(), server.imPort(), options.dbPath.c_str(),
                server.seeded() ? " (demo data loaded)" : "", static_cast<long long>(ms));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    std::printf("oa-demo-server: stopped on signal %d\n", received);
    return 0;
}

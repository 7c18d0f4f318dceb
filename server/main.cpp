// oa-demo-server: runs the demo OA server until SIGINT or SIGTERM, or sends one admin event to a
// running server ("oa-demo-server event ..."), or switches a fault of one of its pages
// ("oa-demo-server fault ...").
#include <httplib.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "server/AdminGuard.h"
#include "server/DemoServer.h"
#include "server/ServerOptions.h"

namespace {

// Posts the admin form to a running server; --host and --http-port among `args` choose it, and
// `fields` maps the other flags to form fields. Prints the answer; 0 when it was 200.
int sendAdmin(const std::string& page, httplib::Params params, const std::vector<std::string>& args,
              const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string host = "127.0.0.2";
    int port = 8080;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (i + 1 >= args.size()) {
            std::cerr << flag << " needs a value\n";
            return 2;
        }
        const std::string& value = args[++i];
        if (flag == "--host") {
            host = value;
            continue;
        }
        if (flag == "--http-port") {
            port = std::atoi(value.c_str());
            continue;
        }
        const auto field = std::find_if(fields.begin(), fields.end(),
                                        [&](const auto& entry) { return entry.first == flag; });
        if (field == fields.end()) {
            std::cerr << "unknown argument: " << flag << "\n";
            return 2;
        }
        params.emplace(field->second, value);
    }
    httplib::Client client(host, port);
    const auto res = client.Post(page, {{oa::AdminGuard::kHeader, "1"}}, params);
    if (!res) {
        std::cerr << "no answer from " << host << ":" << port << "\n";
        return 1;
    }
    std::cout << res->body << "\n";
    return res->status == 200 ? 0 : 1;
}

int sendEvent(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << oa::ServerOptions::usage();
        return 2;
    }
    return sendAdmin("/demo/admin/event", {{"kind", args[0]}}, {args.begin() + 1, args.end()},
                     {{"--to", "to"},
                      {"--from", "from"},
                      {"--subject", "subject"},
                      {"--content", "content"},
                      {"--sms-type", "sms_type"},
                      {"--voice", "voice"}});
}

int sendFault(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << oa::ServerOptions::usage();
        return 2;
    }
    return sendAdmin("/demo/admin/fault", {{"page", args[0]}}, {args.begin() + 1, args.end()},
                     {{"--count", "count"}, {"--status", "status"}, {"--delay-ms", "delay_ms"}});
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "event") {
        return sendEvent({args.begin() + 1, args.end()});
    }
    if (!args.empty() && args[0] == "fault") {
        return sendFault({args.begin() + 1, args.end()});
    }
    const auto parsed = oa::ServerOptions::parse(args);
    if (!parsed.options) {
        (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.message;
        return parsed.exitCode;
    }

#ifdef __GLIBC__
    // Large blocks (a request body, a long field) are mapped on their own and unmapped when
    // freed. By default the allocator raises that threshold after the first such block is
    // freed and then keeps later ones in each worker thread's arena, where they stay resident
    // long after the request.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
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

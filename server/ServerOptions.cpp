// Command-line parsing.
#include "server/ServerOptions.h"

#include <charconv>
#include <cstdlib>

#include "server/TimeText.h"

namespace oa {

namespace {

std::optional<int> port(const std::string& text) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 65535) {
        return std::nullopt;
    }
    return value;
}

// A whole number of kilobytes per second, 1 to 1048576 (1 GB/s).
std::optional<std::size_t> rate(const std::string& text) {
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 1048576) {
        return std::nullopt;
    }
    return value;
}

// A count of generated people, 0 to 200000.
std::optional<std::size_t> peopleCount(const std::string& text) {
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > 200000) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string ServerOptions::defaultDatabasePath() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        return std::string(xdg) + "/oa-demo-server/demo.sqlite3";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.local/share/oa-demo-server/demo.sqlite3";
    }
    return "oa-demo-server.sqlite3";
}

std::string ServerOptions::usage() {
    return "usage: oa-demo-server [--host ADDR] [--http-port N] [--im-port N] [--db PATH]\n"
           "                      [--reset] [--seed-date YYYY-MM-DD|today] [--verbose]\n"
           "                      [--attachment-rate KBPS] [--directory-size N]\n"
           "       oa-demo-server event KIND [--to LOGIN] [--from LOGIN] [--subject TEXT]\n"
           "                      [--content TEXT] [--sms-type N] [--voice SECONDS]\n"
           "                      [--host ADDR] [--http-port N]\n"
           "       oa-demo-server fault PAGE [--count N] (--status CODE | --delay-ms MS)\n"
           "                      [--host ADDR] [--http-port N]\n"
           "\n"
           "Serves the OA server's HTTP pages and its UDP IM service on ADDR (127.0.0.2).\n"
           "Port 0 picks a free port; the chosen ports are printed on one line at start.\n"
           "--reset (or a new database) loads the demo data, dated back from --seed-date\n"
           "(2013-06-28). --attachment-rate sends attachment downloads at KBPS kilobytes\n"
           "(1024 bytes) per second, to watch a client's download progress; off by default.\n"
           "--directory-size adds N generated staff and N address-book contacts to the demo\n"
           "data when it is loaded (0 to 200000).\n"
           "KIND of an event: email, notify, news, reminder or message; a message with\n"
           "--voice is a synthesised voice message of that many seconds (1 to 60).\n"
           "A fault makes the next N (1) requests to PAGE answer CODE (400 to 599) or wait MS\n"
           "milliseconds first; --count 0 switches it off.\n";
}

ParsedOptions ServerOptions::parse(const std::vector<std::string>& args) {
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            return {std::nullopt, 0, usage()};
        } else if (arg == "--reset") {
            options.reset = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--host" || arg == "--db" || arg == "--seed-date") {
            const auto v = value();
            if (!v || v->empty()) {
                return {std::nullopt, 2, arg + " needs a value\n" + usage()};
            }
            (arg == "--host" ? options.host
             : arg == "--db" ? options.dbPath
                             : options.seedDate) = *v;
        } else if (arg == "--attachment-rate") {
            const auto v = value();
            const auto r = v ? rate(*v) : std::nullopt;
            if (!r) {
                return {std::nullopt, 2,
                        arg + " needs kilobytes per second (1 to 1048576)\n" + usage()};
            }
            options.attachmentRateKbps = *r;
        } else if (arg == "--directory-size") {
            const auto v = value();
            const auto n = v ? peopleCount(*v) : std::nullopt;
            if (!n) {
                return {std::nullopt, 2,
                        arg + " needs a number of people (0 to 200000)\n" + usage()};
            }
            options.directorySize = *n;
        } else if (arg == "--http-port" || arg == "--im-port") {
            const auto v = value();
            const auto p = v ? port(*v) : std::nullopt;
            if (!p) {
                return {std::nullopt, 2, arg + " needs a port number (0 to 65535)\n" + usage()};
            }
            (arg == "--http-port" ? options.httpPort : options.imPort) = *p;
        } else {
            return {std::nullopt, 2, "unknown argument: " + arg + "\n" + usage()};
        }
    }
    if (options.seedDate == "today") {
        options.seedDate.clear();
    } else if (!TimeText::isDate(options.seedDate)) {
        return {std::nullopt, 2, "--seed-date needs a date YYYY-MM-DD or today\n" + usage()};
    }
    if (options.dbPath.empty()) {
        options.dbPath = defaultDatabasePath();
    }
    return {options, 0, {}};
}

}  // namespace oa

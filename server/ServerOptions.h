// The settings of one run of the demo server, and the command line that sets them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace oa {

struct ServerOptions {
    // Loopback, so that a client on the same machine can bind its own IM port (1188) on the
    // wildcard address next to the server's.
    std::string host = "127.0.0.2";
    int httpPort = 8080;  // 0 picks a free port
    int imPort = 1188;    // 0 picks a free port
    std::string dbPath;   // empty: defaultDatabasePath()
    bool reset = false;
    bool verbose = false;
    // The day the demo data counts back from ("YYYY-MM-DD"; empty means today). A fixed day
    // keeps the data the same on every reset, and its texts speak of that season.
    std::string seedDate = "2013-06-28";
    std::size_t maxRequestBytes = 16 * 1024 * 1024;
    // The longest a client may take to send a request's line and headers, counted from its
    // first byte. The read time-out alone starts again with every byte, so a peer sending a
    // byte now and then would hold its worker thread for ever.
    int requestHeadSeconds = 10;
    // The longest a client may take to send a request's body, counted from the end of its
    // headers, for the same reason.
    int requestBodySeconds = 30;
    // Connections one client address may hold at once; kept below the server's worker threads
    // so that one client cannot take all of them from the others.
    std::size_t connectionsPerAddress = 24;
    // Connections still sending a request a second after it began that the server holds at
    // once, whatever their addresses; kept below the worker threads so that slow clients from
    // a few addresses together cannot take all of them either.
    std::size_t slowConnections = 24;
    // Attachment downloads are sent at this many kilobytes (1024 bytes) per second; 0 sends
    // them at full speed.
    std::size_t attachmentRateKbps = 0;
    // Generated staff and as many address-book contacts added to the demo data when it is
    // loaded, for trying the lookups on a large directory.
    std::size_t directorySize = 0;
    // TLS: the certificate (chain) and key PEM files, or a self-signed pair made on first start
    // and kept beside the database (TlsIdentity). None of them: plain HTTP.
    std::string tlsCertPath;
    std::string tlsKeyPath;
    bool tlsSelfSigned = false;
    std::string appTitle = "青禾协同办公";
    std::string webVersion = "2013.06.18";

    // $XDG_DATA_HOME/oa-demo-server/demo.sqlite3, else ~/.local/share/oa-demo-server/...,
    // else ./oa-demo-server.sqlite3.
    static std::string defaultDatabasePath();

    // Parses the arguments after the program name.
    static struct ParsedOptions parse(const std::vector<std::string>& args);
    static std::string usage();
};

struct ParsedOptions {
    std::optional<ServerOptions> options;  // absent when the program should exit
    int exitCode = 0;
    std::string message;  // usage or error text
};

}  // namespace oa

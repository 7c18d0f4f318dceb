// A loopback HTTP/1.1 server for wire-level tests: records every request byte for byte and
// answers with canned replies or with a handler that may stall, drip or wait for the test.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace oa::test {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct CapturedRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::string path;    // without the query
    Headers headers;     // in the order sent
    std::string body;    // de-chunked when it came chunked
    std::string raw;     // request line, headers and body exactly as received

    // The first header of that name, ignoring case.
    std::optional<std::string> header(std::string_view name) const;

    struct FormPart {
        std::string name;
        std::string value;
        std::optional<std::string> fileName;
        std::optional<std::string> contentType;
    };
    // The form fields in order: URL-decoded for a urlencoded body, the parts of a multipart
    // body.
    std::vector<FormPart> form() const;
};

struct CannedReply {
    int status = 200;
    Headers headers;
    std::string body;
};

class HttpTestServer {
public:
    // What a handler writes to. Blocking calls return early when the server stops.
    class Exchange {
    public:
        // Status line, the headers, Content-Length unless given, the body.
        void reply(const CannedReply& reply);
        // Raw bytes, as they are.
        void write(std::string_view bytes);
        // Waits; false when the server stopped or the client closed the connection first.
        bool sleepFor(std::chrono::milliseconds duration);
        // Waits until the client closes the connection or the server stops.
        void holdUntilClosed();
        // Waits for HttpTestServer::release(); false when the server stopped first.
        bool waitForRelease();
        // Closes the connection once the handler returns.
        void closeAfterwards() { close_ = true; }

    private:
        friend class HttpTestServer;
        Exchange(HttpTestServer& server, int fd) : server_(server), fd_(fd) {}
        HttpTestServer& server_;
        int fd_;
        bool close_ = false;
    };
    using Handler = std::function<void(const CapturedRequest&, Exchange&)>;

    // Listens on 127.0.0.1 on a free port at once.
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(std::string_view path = "/") const;

    // Replies for a path (without query); unknown paths get 404.
    void setReply(const std::string& path, CannedReply reply);
    void setHandler(const std::string& path, Handler handler);

    std::vector<CapturedRequest> requests() const;
    // Waits until at least `count` requests have arrived.
    bool waitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Lets `count` handlers waiting in waitForRelease() go on.
    void release(int count = 1);
    // Handlers running now, and the most that ever ran at once.
    int inFlight() const;
    int peakInFlight() const;
    // Waits until exactly `count` handlers are running.
    bool waitForInFlight(int count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    int connectionsAccepted() const;

    // Stops accepting, wakes every waiting handler and closes every connection.
    void stop();

    // Scenario handlers for replies that go wrong on the wire.
    // Writes `raw` a few bytes at a time, `step` bytes every `gap`.
    static Handler drip(std::string raw, std::size_t step, std::chrono::milliseconds gap);
    // Writes `raw` and closes the connection.
    static Handler rawThenClose(std::string raw);
    // A chunked 200 reply that goes on for `total` bytes, or until the client hangs up.
    static Handler chunkedFlood(std::size_t total);

private:
    void acceptLoop();
    void serve(int fd);
    // Waits for the fd to be readable or closed, or for stop; false on stop or time-out.
    bool waitReadable(int fd, int timeoutMs);

    int listenFd_ = -1;
    int stopFd_ = -1;  // eventfd, readable once stop() ran
    int port_ = 0;
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Handler> handlers_;  // Guarded by mutex_.
    std::vector<CapturedRequest> requests_;    // Guarded by mutex_.
    std::vector<std::thread> connections_;     // Guarded by mutex_.
    std::vector<int> openFds_;                 // Guarded by mutex_.
    int releases_ = 0;                         // Guarded by mutex_.
    int inFlight_ = 0;                         // Guarded by mutex_.
    int peakInFlight_ = 0;                     // Guarded by mutex_.
    int accepted_ = 0;                         // Guarded by mutex_.
    bool stopped_ = false;                     // Guarded by mutex_.
};

// Routes this process's plain and TLS requests through a proxy at `server` (the http_proxy and
// https_proxy variables that libcurl reads) while it lives, and restores them afterwards.
class ProxyThrough {
public:
    explicit ProxyThrough(const HttpTestServer& server);
    ~ProxyThrough();
    ProxyThrough(const ProxyThrough&) = delete;
    ProxyThrough& operator=(const ProxyThrough&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace oa::test

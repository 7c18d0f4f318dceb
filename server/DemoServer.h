// The whole demo server in one object: the database (created and seeded when new or reset), the
// HTTP pages on cpp-httplib and the UDP IM service. start() returns once both listen; tests run
// it in-process on free ports.
#pragma once

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "server/GuardedHttpServer.h"
#include "server/ServerOptions.h"

namespace oa {

class Database;
class SessionStore;
class ImService;
class Deliveries;
struct ServerContext;
class PageRouter;
class DownloadPacer;
class FaultSwitch;

class DemoServer {
public:
    explicit DemoServer(ServerOptions options);
    ~DemoServer();
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    // Opens the database, loads the demo data when the database is new or --reset was given,
    // binds both ports and starts serving. False with a message on failure.
    bool start(std::string* error);
    // Stops serving and waits for the threads. Safe to call more than once.
    void stop();

    const ServerOptions& options() const { return options_; }
    std::uint16_t httpPort() const { return httpPort_; }
    std::uint16_t imPort() const { return imPort_; }
    // Whether this start loaded the demo data.
    bool seeded() const { return seeded_; }

private:
    bool openDatabase(std::string* error);
    void configureHttp();

    ServerOptions options_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<SessionStore> sessions_;
    std::unique_ptr<ImService> im_;
    std::unique_ptr<Deliveries> deliveries_;
    std::unique_ptr<DownloadPacer> pacer_;
    std::unique_ptr<FaultSwitch> faults_;
    std::unique_ptr<ServerContext> context_;
    std::unique_ptr<PageRouter> router_;
    struct Pages;
    std::unique_ptr<Pages> pages_;
    GuardedHttpServer http_;
    std::thread httpThread_;
    std::atomic<bool> httpEnded_ = false;
    std::uint16_t httpPort_ = 0;
    std::uint16_t imPort_ = 0;
    bool seeded_ = false;
};

}  // namespace oa

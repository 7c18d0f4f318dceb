// Assembling and running the demo server.
#include "server/DemoServer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "core/platform/Log.h"
#include "server/AccountPages.h"
#include "server/AdminPages.h"
#include "server/AttachmentPages.h"
#include "server/BulletinPages.h"
#include "server/Database.h"
#include "server/Deliveries.h"
#include "server/DirectoryPages.h"
#include "server/DownloadPacer.h"
#include "server/FaultSwitch.h"
#include "server/FileCabinetPages.h"
#include "server/HttpSupport.h"
#include "server/ImService.h"
#include "server/MailPages.h"
#include "server/MessagePages.h"
#include "server/PageRouter.h"
#include "server/PlannerPages.h"
#include "server/ReminderPages.h"
#include "server/Schema.h"
#include "server/SeedData.h"
#include "server/ServerContext.h"
#include "server/SessionStore.h"
#include "server/WebPages.h"

namespace oa {

namespace {

// Threads serving connections. A keep-alive connection holds its thread while idle, and the
// client plus its web views keep several open. One client address, and all slow connections
// together, may hold fewer than all of them (ServerOptions::connectionsPerAddress and
// ::slowConnections).
constexpr std::size_t kHttpThreads = 32;

void removeDatabaseFiles(const std::string& path) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::remove(path + suffix, ignored);
    }
}

}  // namespace

struct DemoServer::Pages {
    explicit Pages(ServerContext& ctx, Deliveries& deliveries)
        : account(ctx),
          mail(ctx, deliveries),
          bulletins(ctx),
          planner(ctx),
          cabinets(ctx),
          messages(ctx, deliveries),
          attachments(ctx),
          reminders(ctx),
          directory(ctx),
          web(ctx, deliveries),
          admin(ctx, deliveries) {}

    void install(PageRouter& router) {
        account.install(router);
        mail.install(router);
        bulletins.install(router);
        planner.install(router);
        cabinets.install(router);
        messages.install(router);
        attachments.install(router);
        reminders.install(router);
        directory.install(router);
        web.install(router);
        admin.install(router);
    }

    AccountPages account;
    MailPages mail;
    BulletinPages bulletins;
    PlannerPages planner;
    FileCabinetPages cabinets;
    MessagePages messages;
    AttachmentPages attachments;
    ReminderPages reminders;
    DirectoryPages directory;
    WebPages web;
    AdminPages admin;
};

DemoServer::DemoServer(ServerOptions options) : options_(std::move(options)) {
    if (options_.dbPath.empty()) {
        options_.dbPath = ServerOptions::defaultDatabasePath();
    }
}

DemoServer::~DemoServer() {
    stop();
}

bool DemoServer::openDatabase(std::string* error) {
    try {
        const std::filesystem::path path(options_.dbPath);
        if (path.has_parent_path()) {
            std::filesystem::create_directories(path.parent_path());
        }
        if (options_.reset) {
            removeDatabaseFiles(options_.dbPath);
        }
        db_ = std::make_unique<Database>(options_.dbPath);
        int version = Schema::version(*db_);
        if (version != 0 && version != Schema::kVersion) {
            log("database " + options_.dbPath + " has schema version " + std::to_string(version) +
                ", rebuilding it");
            db_.reset();
            removeDatabaseFiles(options_.dbPath);
            db_ = std::make_unique<Database>(options_.dbPath);
            version = 0;
        }
        if (version == 0) {
            auto lock = db_->lock();
            Transaction tx(*db_);
            Schema::create(*db_);
            SeedData::load(*db_, options_.seedDate);
            SeedData::generatedDirectory(*db_, options_.directorySize);
            tx.commit();
            seeded_ = true;
        } else if (options_.directorySize > 0) {
            log("--directory-size is ignored: it applies when the demo data is loaded (a new "
                "database or --reset)");
        }
        return true;
    } catch (const std::exception& e) {
        *error = std::string("database: ") + e.what();
        return false;
    }
}

void DemoServer::configureHttp() {
    http_.new_task_queue = [] { return new httplib::ThreadPool(kHttpThreads); };
    // Without it every keep-alive request waits for the peer's delayed ACK (about 40 ms).
    http_.set_tcp_nodelay(true);
    http_.set_keep_alive_max_count(1000);
    // An idle keep-alive connection holds its worker until this runs out, and stop() waits for
    // every worker, so a long value makes every stop (SIGTERM, the end of a test) wait as long.
    // Clients reconnect cheaply after a short idle spell.
    http_.set_keep_alive_timeout(2);
    http_.set_read_timeout(20);
    http_.setRequestHeadLimit(std::chrono::seconds(std::max(1, options_.requestHeadSeconds)));
    http_.setRequestBodyLimit(std::chrono::seconds(std::max(1, options_.requestBodySeconds)));
    http_.setConnectionsPerAddress(
        std::clamp<std::size_t>(options_.connectionsPerAddress, 1, kHttpThreads - 1));
    http_.setSlowConnections(std::clamp<std::size_t>(options_.slowConnections, 1, kHttpThreads - 1),
                             std::chrono::seconds(1));
    http_.set_payload_max_length(options_.maxRequestBytes);
    http_.set_exception_handler(
        [](const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
            std::string what = "unknown";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            log("error in " + req.path + ": " + what);
            HttpSupport::error(res, 500, "internal server error");
        });
    const std::size_t limitMb = options_.maxRequestBytes / (1024 * 1024);
    http_.set_error_handler(httplib::Server::HandlerWithResponse([limitMb](const httplib::Request&,
                                                                           httplib::Response& res) {
        if (!res.body.empty()) {
            return httplib::Server::HandlerResponse::Unhandled;
        }
        if (res.status == 413) {
            HttpSupport::error(res, 413, "request larger than " + std::to_string(limitMb) + " MB");
        } else if (res.status == 404) {
            HttpSupport::error(res, 404, "no such page");
        } else {
            HttpSupport::error(res, res.status, "request refused");
        }
        return httplib::Server::HandlerResponse::Handled;
    }));
    http_.set_post_routing_handler(HttpSupport::compressJson);
    const bool verbose = options_.verbose;
    http_.set_logger([verbose](const httplib::Request& req, const httplib::Response& res) {
        std::string line = req.remote_addr;
        line.append(" ").append(req.method).append(" ").append(req.path);
        line.append(" ").append(std::to_string(res.status));
        line.append(" ").append(std::to_string(res.body.size()));
        if (verbose) {
            line.append(" [");
            // The password and the session (whoever holds it is signed in) are never logged,
            // whether they came in the query, a URL-encoded form or a multipart part.
            auto secret = [](const std::string& key) { return key == "PASSWORD" || key == "P"; };
            for (const auto& [key, value] : req.params) {
                line.append(" ").append(key).append("=");
                line.append(secret(key) ? std::string("***") : value.substr(0, 60));
            }
            for (const auto& [key, part] : req.files) {
                line.append(" ").append(key);
                if (part.filename.empty()) {
                    line.append("=").append(secret(key) ? std::string("***")
                                                        : part.content.substr(0, 60));
                } else {
                    line.append("<").append(part.filename).append(">");
                }
            }
            line.append(" ]");
        }
        log(line);
    });
}

bool DemoServer::loadTls(std::string* error) {
    std::string cert = options_.tlsCertPath;
    std::string key = options_.tlsKeyPath;
    if (options_.tlsSelfSigned) {
        if (!TlsIdentity::ensureSelfSigned(options_.dbPath, options_.host, error)) {
            return false;
        }
        cert = TlsIdentity::selfSignedCertPath(options_.dbPath);
        key = TlsIdentity::selfSignedKeyPath(options_.dbPath);
    }
    if (cert.empty()) {
        return true;
    }
    tls_ = TlsIdentity::load(cert, key, error);
    if (!tls_) {
        return false;
    }
    http_.setTlsContext(tls_.get());
    return true;
}

bool DemoServer::start(std::string* error) {
    if (!openDatabase(error) || !loadTls(error)) {
        return false;
    }
    sessions_ = std::make_unique<SessionStore>(*db_);
    im_ = std::make_unique<ImService>(*db_, *sessions_, options_.verbose);
    if (!im_->start(options_.host, static_cast<std::uint16_t>(options_.imPort), error)) {
        return false;
    }
    imPort_ = im_->port();
    deliveries_ = std::make_unique<Deliveries>(*db_, *im_);
    if (options_.attachmentRateKbps > 0) {
        pacer_ = std::make_unique<DownloadPacer>(options_.attachmentRateKbps * 1024);
    }
    context_ = std::make_unique<ServerContext>(
        ServerContext{*db_, *sessions_, *im_, options_.appTitle, options_.webVersion, imPort_,
                      options_.verbose, pacer_.get(), tls()});
    router_ = std::make_unique<PageRouter>(http_, *sessions_, options_.maxRequestBytes);
    router_->setTls(tls());
    faults_ = std::make_unique<FaultSwitch>();
    router_->setFaults(faults_.get());
    faults_->install(*router_);
    pages_ = std::make_unique<Pages>(*context_, *deliveries_);
    pages_->install(*router_);
    router_->finish();
    configureHttp();

    const int port =
        options_.httpPort == 0
            ? http_.bind_to_any_port(options_.host)
            : (http_.bind_to_port(options_.host, options_.httpPort) ? options_.httpPort : -1);
    if (port <= 0) {
        *error = "cannot listen on " + options_.host + ":" + std::to_string(options_.httpPort);
        im_->stop();
        return false;
    }
    httpPort_ = static_cast<std::uint16_t>(port);
    httpThread_ = std::thread([this] {
        http_.listen_after_bind();
        httpEnded_ = true;
    });
    // stop() only reaches a server that is already listening, so wait for that.
    while (!http_.is_running() && !httpEnded_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (httpEnded_) {
        *error = "HTTP server ended at once";
        stop();
        return false;
    }
    return true;
}

void DemoServer::stop() {
    if (httpThread_.joinable()) {
        // A request the fault switch holds back would keep its worker, and stop() waits for all.
        if (faults_) {
            faults_->stop();
        }
        http_.stop();
        httpThread_.join();
    }
    // After HTTP, so that no page pushes through a closed socket.
    if (im_) {
        im_->stop();
    }
}

}  // namespace oa

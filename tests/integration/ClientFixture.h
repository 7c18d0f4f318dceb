// Runs the demo server in-process on loopback, on a fresh copy of its seeded database, and signs
// the client's core in to it the way the sign-in screen does. Each test gets its own application
// home, session state and server.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <any>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/Log.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/BaseVO.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "server/DemoServer.h"
#include "server/ServerFixture.h"
#include "support/TempHome.h"

namespace oa::test {

// Not 127.0.0.2, where a demo server started by run.sh may be listening on the default ports.
inline constexpr char kServerHost[] = "127.0.0.3";
inline constexpr std::chrono::seconds kWaitLimit{30};

// Every diagnostic line of the process (the server logs one per request and, when verbose, one
// per IM datagram), so that tests can wait for one without sleeping.
class LogCapture {
public:
    LogCapture() {
        previous_ = setLogSink([this](std::string_view line) {
            {
                std::lock_guard lock(mutex_);
                lines_.emplace_back(line);
            }
            changed_.notify_all();
        });
    }
    ~LogCapture() {
        setLogSink(previous_);
        if (::testing::Test::HasFailure()) {
            std::lock_guard lock(mutex_);
            for (const auto& line : lines_) {
                log(line);
            }
        }
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    bool contains(std::string_view text) const {
        std::lock_guard lock(mutex_);
        return anyContains(text);
    }

    // Waits until `times` lines containing `text` have been logged; false after `limit`.
    bool waitFor(std::string_view text, std::size_t times = 1,
                 std::chrono::milliseconds limit = kWaitLimit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return countOf(text) >= times; });
    }

    std::size_t count(std::string_view text) const {
        std::lock_guard lock(mutex_);
        return countOf(text);
    }

private:
    bool anyContains(std::string_view text) const { return countOf(text) > 0; }
    std::size_t countOf(std::string_view text) const {
        return static_cast<std::size_t>(std::count_if(
            lines_.begin(), lines_.end(),
            [&](const std::string& line) { return line.find(text) != std::string::npos; }));
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;  // Guarded by mutex_.
    LogSink previous_;
};

// Names the client's local push port ($OA_PUSH_PORT) for the life of the object, for the
// in-process listener and the oa-cli processes a test starts: "0" lets the system pick a free
// one, so that no test needs port 1188, which a client of this machine may hold.
class PushPortVariable {
public:
    explicit PushPortVariable(const std::string& value = "0") {
        if (const char* old = std::getenv(kName)) {
            previous_ = old;
        }
        ::setenv(kName, value.c_str(), 1);
    }
    ~PushPortVariable() {
        if (previous_) {
            ::setenv(kName, previous_->c_str(), 1);
        } else {
            ::unsetenv(kName);
        }
    }
    PushPortVariable(const PushPortVariable&) = delete;
    PushPortVariable& operator=(const PushPortVariable&) = delete;

private:
    static constexpr const char* kName = "OA_PUSH_PORT";
    std::optional<std::string> previous_;
};

// What a sign-in attempt posted as "loginResult": the module list or a failure text.
struct SignInOutcome {
    std::optional<std::vector<std::string>> modules;
    std::optional<std::string> failure;
};

// One attempt as the sign-in screen's background work makes it (the record is stored, then the
// form is sent), observed through the default notification centre.
inline SignInOutcome attemptSignIn(const std::string& address, const std::string& user,
                                   const std::string& password) {
    SignInOutcome outcome;
    int posts = 0;
    {
        ObserverToken token = NotificationCenter::defaultCenter().addObserver(
            LoginBO::kLoginResult, [&](const Notification& note) {
                ++posts;
                if (const auto* modules = std::any_cast<std::vector<std::string>>(&note.object)) {
                    outcome.modules = *modules;
                } else if (const auto* text = std::any_cast<std::string>(&note.object)) {
                    outcome.failure = *text;
                }
            });
        LoginVO record;
        record.name = user;
        record.pwd = password;
        record.oa = address;
        LoginBO().loginOperation(record);
    }
    EXPECT_EQ(posts, 1) << "one attempt posts one loginResult";
    return outcome;
}

// Ends this process's TCP connections to host:port. The core's transport keeps its connections
// open between requests, and a stopping server waits for idle keep-alive connections until its
// keep-alive time-out; a client process that exits closes them, and so does this, in place of
// the exit. The descriptors stay the transport's: a shut-down connection reads as closed, and the
// transport opens a new one for its next request.
inline void endConnectionsTo(const std::string& host, std::uint16_t port) {
    in_addr address{};
    ::inet_pton(AF_INET, host.c_str(), &address);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = -1;
        try {
            fd = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        int type = 0;
        socklen_t typeLength = sizeof type;
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeLength) != 0 || type != SOCK_STREAM ||
            ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 ||
            peer.sin_family != AF_INET) {
            continue;
        }
        if (peer.sin_addr.s_addr == address.s_addr && ntohs(peer.sin_port) == port) {
            ::shutdown(fd, SHUT_RDWR);
        }
    }
}

class ClientServerTest : public ::testing::Test {
protected:
    // A test class changes the server's options here (ports, verbosity).
    virtual void configure(ServerOptions& /*options*/) {}

    void SetUp() override {
        GlobalVar::getInstance_global().resetForTesting();
        dir_ = freshDirectory("oa-integration");
        std::filesystem::copy_file(seededTemplate(), dir_ / "demo.sqlite3");
        ServerOptions options;
        options.host = kServerHost;
        options.httpPort = 0;
        options.imPort = 0;
        options.dbPath = (dir_ / "demo.sqlite3").string();
        configure(options);
        server_ = std::make_unique<DemoServer>(options);
        std::string error;
        ASSERT_TRUE(server_->start(&error)) << error;
    }

    void TearDown() override {
        if (server_) {
            endConnectionsTo(kServerHost, server_->httpPort());
            server_.reset();
        }
        GlobalVar::getInstance_global().resetForTesting();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string serverUrl() const {
        return std::string("http://") + kServerHost + ":" + std::to_string(server_->httpPort());
    }

    SignInOutcome signIn(const std::string& user, const std::string& password = "123456") {
        return attemptSignIn(serverUrl(), user, password);
    }

    // Signs in and reports a refusal as a test failure; true when signed in.
    bool signInAs(const std::string& user, const std::string& password = "123456") {
        const auto outcome = signIn(user, password);
        EXPECT_TRUE(outcome.modules) << user << ": " << outcome.failure.value_or("no result");
        return outcome.modules.has_value();
    }

    // The demo server's admin interface (not part of the client): a new item for a user, with
    // its pushes. Returns the new item's id.
    std::string adminEvent(const Fields& fields) const {
        httplib::Client http(kServerHost, server_->httpPort());
        http.set_read_timeout(10);
        const auto result = http.Post("/demo/admin/event", {{AdminGuard::kHeader, "1"}},
                                      httplib::Params(fields.begin(), fields.end()));
        if (!result) {
            ADD_FAILURE() << "admin event got no answer";
            return {};
        }
        const auto reply = nlohmann::json::parse(result->body, nullptr, false);
        if (!reply.is_object() || reply.value("status", "") != "OK") {
            ADD_FAILURE() << "admin event refused: " << result->body;
            return {};
        }
        return reply.value("q_id", "");
    }

    // A plain GET of a server path (as the attachment viewer downloads a file).
    httplib::Result get(const std::string& path) const {
        httplib::Client http(kServerHost, server_->httpPort());
        http.set_read_timeout(10);
        return http.Get(path);
    }

    TempHome home_;
    std::filesystem::path dir_;
    std::unique_ptr<DemoServer> server_;
};

// Record helpers: every list record is a BaseVO subclass; tests look at them through these.
template <class Record>
std::vector<std::shared_ptr<Record>> recordsOf(const RecordList& list) {
    std::vector<std::shared_ptr<Record>> out;
    for (const auto& item : list) {
        auto record = std::dynamic_pointer_cast<Record>(item);
        EXPECT_TRUE(record) << "a record of another class in the list";
        if (record) {
            out.push_back(std::move(record));
        }
    }
    return out;
}

inline std::vector<std::string> idsOf(const RecordList& list) {
    std::vector<std::string> ids;
    for (const auto& item : list) {
        ids.push_back(item->q_id.value_or("(absent)"));
    }
    return ids;
}

inline long long idValue(const Text& id) {
    try {
        return id ? std::stoll(*id) : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

}  // namespace oa::test

// Runs oa-demo-server in-process on free loopback ports for one test, on a copy of a database
// seeded once per test program, and talks to it in its wire forms: form POSTs with a plain
// HTTP client and raw UDP datagrams.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/Log.h"
#include "server/AdminGuard.h"
#include "server/DemoServer.h"

namespace oa::test {

using Fields = std::vector<std::pair<std::string, std::string>>;

inline std::filesystem::path freshDirectory(const std::string& stem) {
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() /
               (stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
    return dir;
}

// The seeded database all tests of the program start from (seeding takes longer than
// copying a file). Removed when the program ends.
inline const std::filesystem::path& seededTemplate() {
    struct Template {
        Template() : dir(freshDirectory("oa-server-template")), file(dir / "template.sqlite3") {
            ServerOptions options;
            options.httpPort = 0;
            options.imPort = 0;
            options.dbPath = file.string();
            options.reset = true;
            DemoServer server(options);
            std::string error;
            if (!server.start(&error)) {
                ADD_FAILURE() << "template server: " << error;
            }
        }
        ~Template() {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
        std::filesystem::path dir;
        std::filesystem::path file;
    };
    static const Template seeded;
    return seeded.file;
}

// The client's password scrambler: every byte at an even position XORed with all key bytes, at
// an odd position with every second key byte.
inline std::string scramble(const std::string& password, const std::string& key = "QXVL7305") {
    std::string out = password;
    for (std::size_t i = 0; i < out.size(); ++i) {
        for (std::size_t k = 0; k < key.size(); k += (i % 2 == 0 ? 1 : 2)) {
            out[i] = static_cast<char>(out[i] ^ key[k]);
        }
    }
    return out;
}

// An RAII UDP socket for the IM service's datagrams.
class UdpPeer {
public:
    // Binds to host:port (port 0: any free port), with SO_REUSEADDR when asked.
    UdpPeer(const std::string& host, std::uint16_t port, bool reuseAddress = false)
        : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
        const int on = 1;
        if (reuseAddress) {
            ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        }
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        ::inet_pton(AF_INET, host.c_str(), &addr.sin_addr);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        socklen_t length = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length);
        port_ = ntohs(addr.sin_port);
    }
    ~UdpPeer() { ::close(fd_); }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    bool bound() const { return bound_; }
    std::uint16_t port() const { return port_; }

    void send(const std::string& text, const std::string& host, std::uint16_t port) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        ::inet_pton(AF_INET, host.c_str(), &to.sin_addr);
        ::sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    // The next datagram, or nothing within the time limit.
    std::optional<std::string> receive(std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(limit.count())) <= 0) {
            return std::nullopt;
        }
        char buffer[9216];
        const auto got = ::recv(fd_, buffer, sizeof buffer, 0);
        if (got < 0) {
            return std::nullopt;
        }
        return std::string(buffer, static_cast<std::size_t>(got));
    }

private:
    int fd_;
    bool bound_ = false;
    std::uint16_t port_ = 0;
};

class ServerFixture : public ::testing::Test {
protected:
    static constexpr const char* kHost = "127.0.0.2";

    void SetUp() override {
        // The server logs one line per request; keep them for the tests instead of stderr.
        previousSink_ = setLogSink([this](std::string_view line) {
            std::lock_guard lock(logMutex_);
            logLines_.emplace_back(line);
        });
        dir_ = freshDirectory("oa-server-test");
        std::filesystem::copy_file(seededTemplate(), dir_ / "demo.sqlite3");
        ServerOptions options;
        options.host = kHost;
        options.httpPort = 0;
        options.imPort = 0;
        options.dbPath = (dir_ / "demo.sqlite3").string();
        configure(options);
        server_ = std::make_unique<DemoServer>(options);
        std::string error;
        ASSERT_TRUE(server_->start(&error)) << error;
    }

    // Lets a test change the server's options before it starts.
    virtual void configure(ServerOptions& /*options*/) {}

    void TearDown() override {
        server_.reset();
        setLogSink(previousSink_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::unique_ptr<httplib::Client> client() const {
        auto c = std::make_unique<httplib::Client>(kHost, server_->httpPort());
        c->set_connection_timeout(5);
        c->set_read_timeout(10);
        c->set_tcp_nodelay(true);
        return c;
    }

    // A form POST as the client sends it (URL-encoded, UTF-8). Fails the test when the
    // server does not answer at all.
    httplib::Result post(const std::string& path, const Fields& fields,
                         const httplib::Headers& headers = {}) const {
        httplib::Params params(fields.begin(), fields.end());
        auto result = client()->Post(path, headers, params);
        EXPECT_TRUE(result) << path << " got no answer";
        return result;
    }

    std::string postText(const std::string& path, const Fields& fields) const {
        const auto result = post(path, fields);
        return result ? result->body : std::string();
    }

    // The reply parsed as JSON; null when it is not JSON.
    nlohmann::json postJson(const std::string& path, const Fields& fields) const {
        return nlohmann::json::parse(postText(path, fields), nullptr, false);
    }

    // Signs in and returns the session id (empty when refused).
    std::string signIn(const std::string& user, const std::string& password = "123456") const {
        const auto reply = postJson("/mobile/login.php",
                                    {{"USERNAME", user}, {"PASSWORD", password}, {"P_VER", "5"}});
        if (!reply.is_object() || reply.value("status", "") != "YES") {
            return {};
        }
        return reply.value("session_id", "");
    }

    // The counter request as the client sends it: "UID" and "MODULES", and the session in
    // the cookie that sign-in set. The reply parsed as JSON; null when it is not JSON.
    nlohmann::json counters(const std::string& uid, const std::string& session,
                            const std::string& modules = "INIT") const {
        const auto result = post("/mobile/services_count.php", {{"UID", uid}, {"MODULES", modules}},
                                 {{"Cookie", std::string("OA_SESSION=") + session}});
        return nlohmann::json::parse(result ? result->body : std::string(), nullptr, false);
    }

    // One page of a module list; the reply text as it came.
    std::string listPage(const std::string& page, const std::string& session,
                         const std::string& action, const Fields& extra = {}) const {
        Fields fields{{"ATYPE", "refreshList"}, {"A", action}, {"P", session}};
        fields.insert(fields.end(), extra.begin(), extra.end());
        return postText(page, fields);
    }

    // A form POST to the demo interface, with the header it asks for.
    httplib::Result adminPost(const std::string& path, const Fields& fields) const {
        return post(path, fields, adminHeaders());
    }
    static httplib::Headers adminHeaders() { return {{AdminGuard::kHeader, "1"}}; }

    // An admin event; returns the new item's id.
    std::string adminEvent(const Fields& fields) const {
        const auto result = adminPost("/demo/admin/event", fields);
        const std::string text = result ? result->body : std::string();
        const auto reply = nlohmann::json::parse(text, nullptr, false);
        if (!reply.is_object()) {
            ADD_FAILURE() << "admin event refused: " << text;
            return {};
        }
        EXPECT_EQ(reply.value("status", ""), "OK") << text;
        return reply.value("q_id", "");
    }

    std::uint16_t imPort() const { return server_->imPort(); }

    // A client socket announced to the IM service as `user` (answered "v^OK").
    std::unique_ptr<UdpPeer> imLogin(const std::string& user,
                                     const std::string& password = "123456") const {
        auto peer = std::make_unique<UdpPeer>("127.0.0.1", 0);
        peer->send("C^m^l^" + user + "^" + scramble(password) + "^", kHost, imPort());
        EXPECT_EQ(peer->receive(), std::optional<std::string>("v^OK")) << user;
        return peer;
    }

    std::vector<std::string> logLines() {
        std::lock_guard lock(logMutex_);
        return logLines_;
    }

    std::filesystem::path dir_;
    std::unique_ptr<DemoServer> server_;
    LogSink previousSink_;
    std::mutex logMutex_;
    std::vector<std::string> logLines_;  // Guarded by logMutex_.
};

}  // namespace oa::test

// The server's limits on what a client sends: long forms (Chinese text takes 9 bytes a
// character once URL-encoded) are read up to the request and field limits and refused past
// them with a reply that names the limit; connections that trickle in their headers or bodies
// are cut off and cannot take every worker from other clients.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <optional>
#include <thread>

#include "server/FormBody.h"
#include "server/MessagePages.h"
#include "server/ServerFixture.h"

namespace oa::test {
namespace {

std::string repeated(const std::string& piece, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

class LongFormTest : public ServerFixture {};

TEST_F(LongFormTest, LongTextsAreStoredUpToTheirLimits) {
    const std::string lina = signIn("lina");
    const std::string zhangwei = signIn("zhangwei");

    // An e-mail of 10,000 characters: 30,000 bytes of UTF-8, 90,000 once encoded.
    const std::string body = repeated("周", 9999) + "末";
    const auto sent =
        post("/mobile/email/submit.php",
             {{"P", lina}, {"to_id", "zhangwei"}, {"subject", "长邮件"}, {"content", body}});
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->status, 200) << sent->body;
    const auto id = nlohmann::json::parse(sent->body, nullptr, false).value("q_id", "");
    const auto detail = postJson("/mobile/email/data.php",
                                 {{"ATYPE", "getEmailContent"}, {"Q_ID", id}, {"P", zhangwei}});
    EXPECT_EQ(detail.value("subject", ""), "长邮件");
    EXPECT_NE(detail.value("content", "").find(body), std::string::npos);

    // A message just under the message limit is stored whole.
    const std::size_t characters = MessagePages::kMaxTextBytes / 3;
    const std::string longest = repeated("讯", characters);
    ASSERT_LE(longest.size(), MessagePages::kMaxTextBytes);
    const auto accepted =
        post("/mobile/message/data.php",
             {{"Q_UID", "9"}, {"CONTENT", longest}, {"ATYPE", "sendSignleMsg"}, {"P", lina}});
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->status, 200) << accepted->body;
    const auto dialog = postJson("/mobile/message/data.php",
                                 {{"Q_ID", "10"}, {"ATYPE", "getDialogList"}, {"P", zhangwei}});
    ASSERT_TRUE(dialog.is_array() && !dialog.empty());
    EXPECT_EQ(dialog[0].value("content", ""), longest);

    // One character more is refused by the message limit, by name, and not stored.
    const auto refused = post(
        "/mobile/message/data.php",
        {{"Q_UID", "9"}, {"CONTENT", longest + "多"}, {"ATYPE", "sendSignleMsg"}, {"P", lina}});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 413);
    EXPECT_EQ(refused->body, "ERROR: message longer than " +
                                 std::to_string(MessagePages::kMaxTextBytes) + " bytes");
    EXPECT_EQ(postJson("/mobile/message/data.php",
                       {{"Q_ID", "10"}, {"ATYPE", "getDialogList"}, {"P", zhangwei}}),
              dialog);
}

TEST_F(LongFormTest, FormsPastTheRequestLimitAreRefusedWithThatLimit) {
    const std::string lina = signIn("lina");
    const std::string zhangwei = signIn("zhangwei");
    const std::string inbox = listPage("/mobile/email/data.php", zhangwei, "loadList");
    auto http = client();
    const std::string form =
        "P=" + lina + "&to_id=zhangwei&subject=x&content=" + std::string(17 * 1024 * 1024, 'a');
    const auto plain =
        http->Post("/mobile/email/submit.php", form, "application/x-www-form-urlencoded");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->status, 413);
    EXPECT_EQ(plain->body, "ERROR: request larger than 16 MB");

    // The same without a length up front (chunked) meets the same limit.
    const auto chunked = http->Post(
        "/mobile/email/submit.php",
        [&form](std::size_t offset, httplib::DataSink& sink) {
            const std::size_t n = std::min<std::size_t>(64 * 1024, form.size() - offset);
            sink.write(form.data() + offset, n);
            if (offset + n == form.size()) {
                sink.done();
            }
            return true;
        },
        "application/x-www-form-urlencoded");
    // The server may close the connection before the client has sent it all; then there is no
    // reply to look at, and the list below still shows that nothing was stored.
    if (chunked) {
        EXPECT_EQ(chunked->status, 413);
    }
    EXPECT_EQ(listPage("/mobile/email/data.php", zhangwei, "loadList"), inbox);

    // A long form to a page that does not exist is a missing page, not a size problem.
    const auto missing = client()->Post("/mobile/nothing.php", "x=" + repeated("%E5%AD%97", 2000),
                                        "application/x-www-form-urlencoded");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

// A request head that never ends, for dripping.
const std::string kEndlessHead =
    "POST /mobile/login.php HTTP/1.1\r\nHost: oa\r\nUser-Agent: slow\r\nX-Pad: " +
    std::string(4000, 'x');
// A whole request head announcing a body, sent at once before the body is dripped.
const std::string kBodyHead =
    "POST /mobile/login.php HTTP/1.1\r\nHost: oa\r\nContent-Type: "
    "application/x-www-form-urlencoded\r\nContent-Length: 4000\r\n\r\n";

// Connections that send `sentAtOnce`, then the rest of their request a byte at a time (of
// `dripped`, repeated), from one client address. Each byte comes well inside the server's read
// time-out, so only limits on the whole request head and body (or on how many such
// connections are held) stop them.
class Drippers {
public:
    Drippers(const std::string& from, const std::string& to, std::uint16_t port, int count,
             const std::string& sentAtOnce = {}, std::string dripped = kEndlessHead)
        : dripped_(std::move(dripped)) {
        for (int i = 0; i < count; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in local{};
            local.sin_family = AF_INET;
            ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
            sockaddr_in remote{};
            remote.sin_family = AF_INET;
            remote.sin_port = htons(port);
            ::inet_pton(AF_INET, to.c_str(), &remote.sin_addr);
            EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
            EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote), 0);
            if (!sentAtOnce.empty()) {
                ::send(fd, sentAtOnce.data(), sentAtOnce.size(), MSG_NOSIGNAL);
            }
            fds_.push_back(fd);
        }
        dripOnce();
        thread_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            // Bounded: even a test that never stops them ends its drip after a minute.
            for (int round = 0; round < 120 && !stop_; ++round) {
                if (wake_.wait_for(lock, std::chrono::milliseconds(500),
                                   [this] { return stop_; })) {
                    break;
                }
                dripOnce();
            }
        });
    }
    ~Drippers() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
        for (int fd : fds_) {
            ::close(fd);
        }
    }
    Drippers(const Drippers&) = delete;
    Drippers& operator=(const Drippers&) = delete;

    int fd(std::size_t i) const { return fds_[i]; }

private:
    void dripOnce() {
        for (int fd : fds_) {
            ::send(fd, &dripped_[sent_ % dripped_.size()], 1, MSG_NOSIGNAL);
        }
        ++sent_;
    }

    std::string dripped_;
    std::vector<int> fds_;
    std::size_t sent_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

// What the server sent before it ended the connection (end of stream or reset); absent when
// the connection is still open after the limit.
std::optional<std::string> replyUntilClosed(int fd, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string reply;
    char buffer[1024];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 100) <= 0) {
            continue;
        }
        const auto got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return reply;
        }
        reply.append(buffer, static_cast<std::size_t>(got));
    }
    return std::nullopt;
}

// One whole request sent from the given local address; the reply as it came.
std::string requestFrom(const std::string& from, const std::string& to, std::uint16_t port,
                        const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    ::inet_pton(AF_INET, to.c_str(), &remote.sin_addr);
    std::string reply;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
        reply = replyUntilClosed(fd, std::chrono::seconds(10)).value_or("");
    }
    ::close(fd);
    return reply;
}

// The resident memory of this process, which runs the server.
std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

struct FieldCase {
    std::size_t fields;
    int status;
};

class FieldLimitTest : public ServerFixture, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FieldLimitTest, FormsAreReadUpToTheFieldLimit) {
    std::string form = "USERNAME=lina&PASSWORD=123456&P_VER=5";
    for (std::size_t i = 3; i < GetParam().fields; ++i) {
        form += "&f" + std::to_string(i) + "=1";
    }
    const auto reply =
        client()->Post("/mobile/login.php", form, "application/x-www-form-urlencoded");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, GetParam().status);
    if (GetParam().status == 200) {
        EXPECT_EQ(nlohmann::json::parse(reply->body, nullptr, false).value("status", ""), "YES");
    } else {
        EXPECT_EQ(reply->body,
                  "ERROR: form with more than " + std::to_string(FormBody::kMaxFields) + " fields");
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldLimitTest,
                         ::testing::Values(FieldCase{FormBody::kMaxFields, 200},
                                           FieldCase{FormBody::kMaxFields + 1, 413}));

TEST_F(LongFormTest, FormsOfMillionsOfFieldsCostTheServerLittleMemory) {
    // Two million fields of different names in 15 MB, four at once from as many addresses.
    std::string body;
    for (int i = 0; i < 2'000'000; ++i) {
        body += std::to_string(i) + "&";
    }
    const std::string request =
        "POST /mobile/login.php HTTP/1.1\r\nHost: oa\r\nConnection: close\r\nContent-Type: "
        "application/x-www-form-urlencoded\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    body = std::string();
    const std::size_t before = residentBytes();
    std::vector<std::string> replies(4);
    std::vector<std::thread> senders;
    for (std::size_t i = 0; i < replies.size(); ++i) {
        senders.emplace_back([&, i] {
            replies[i] = requestFrom("127.0.0." + std::to_string(20 + i), kHost,
                                     server_->httpPort(), request);
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    for (const std::string& reply : replies) {
        EXPECT_EQ(reply.rfind("HTTP/1.1 413 ", 0), 0u) << reply.substr(0, 40);
        EXPECT_NE(reply.find("ERROR: form with more than"), std::string::npos);
    }
    // The forms are refused without keeping what they hold; a few megabytes of buffers and
    // threads may come and go.
    const std::size_t after = residentBytes();
    EXPECT_LT(after, before + 128 * 1024 * 1024) << "from " << before << " to " << after;
}

class SlowClientTest : public ServerFixture {
protected:
    static constexpr const char* kSlowClient = "127.0.0.5";
};

TEST_F(SlowClientTest, ThirtyTricklingConnectionsLeaveRoomForOthers) {
    Drippers drippers(kSlowClient, kHost, server_->httpPort(), 30);
    // A sign-in from another address is answered at once (the client waits 10 s at most).
    const std::string session = signIn("zhangwei");
    EXPECT_FALSE(session.empty());
    EXPECT_EQ(listPage("/mobile/email/data.php", session, "loadList").front(), '[');
}

TEST_F(SlowClientTest, TricklingBodiesFromTwoAddressesLeaveRoomForOthers) {
    // Their heads come whole; each would then hold a worker for as long as its body trickles.
    Drippers first("127.0.0.9", kHost, server_->httpPort(), 16, kBodyHead, "x");
    Drippers second("127.0.0.10", kHost, server_->httpPort(), 16, kBodyHead, "x");
    EXPECT_FALSE(signIn("zhangwei").empty());
}

struct Trickle {
    const char* name;
    std::string sentAtOnce;
    std::string dripped;
};

class RequestDeadlineTest : public ServerFixture, public ::testing::WithParamInterface<Trickle> {
protected:
    void configure(ServerOptions& options) override {
        options.requestHeadSeconds = 1;
        options.requestBodySeconds = 1;
    }
};

TEST_P(RequestDeadlineTest, ARequestTricklingInPastItsLimitIsCutOff) {
    Drippers dripper("127.0.0.6", kHost, server_->httpPort(), 1, GetParam().sentAtOnce,
                     GetParam().dripped);
    // Bytes keep coming every half second, so no read time-out ends it; the limit does.
    EXPECT_TRUE(replyUntilClosed(dripper.fd(0), std::chrono::seconds(8)));
    // A request that comes whole is served as before.
    EXPECT_FALSE(signIn("lina").empty());
}

INSTANTIATE_TEST_SUITE_P(Parts, RequestDeadlineTest,
                         ::testing::Values(Trickle{"head", {}, kEndlessHead},
                                           Trickle{"body", kBodyHead, "x"}),
                         [](const auto& param) { return std::string(param.param.name); });

class ConnectionsPerAddressTest : public ServerFixture {
protected:
    void configure(ServerOptions& options) override { options.connectionsPerAddress = 2; }
};

TEST_F(ConnectionsPerAddressTest, AnAddressPastItsLimitIsTurnedAwayAndLaterServedAgain) {
    static const std::string kPicture =
        "GET /mobile/images/org_chart.png HTTP/1.1\r\nHost: oa\r\nConnection: close\r\n\r\n";
    {
        Drippers drippers("127.0.0.7", kHost, server_->httpPort(), 3);
        // Two are admitted and wait for their heads; the third is answered 503 and closed.
        std::vector<pollfd> fds;
        for (std::size_t i = 0; i < 3; ++i) {
            fds.push_back({drippers.fd(i), POLLIN, 0});
        }
        std::optional<std::string> refused;
        if (::poll(fds.data(), fds.size(), 10'000) > 0) {
            for (const pollfd& pfd : fds) {
                if (pfd.revents != 0 && !refused) {
                    refused = replyUntilClosed(pfd.fd, std::chrono::seconds(5));
                }
            }
        }
        ASSERT_TRUE(refused) << "no connection was turned away";
        EXPECT_EQ(refused->rfind("HTTP/1.1 503 ", 0), 0u) << *refused;
        EXPECT_NE(refused->find("ERROR: too many connections"), std::string::npos);
        // Other addresses are served meanwhile.
        EXPECT_EQ(requestFrom("127.0.0.8", kHost, server_->httpPort(), kPicture)
                      .rfind("HTTP/1.1 200 ", 0),
                  0u);
        EXPECT_FALSE(signIn("lina").empty());
    }
    // Once its connections have ended the address is served again (the server notices the
    // end a moment later, so a few tries may still meet the limit).
    std::string reply;
    for (int attempt = 0; attempt < 50 && reply.rfind("HTTP/1.1 200 ", 0) != 0; ++attempt) {
        reply = requestFrom("127.0.0.7", kHost, server_->httpPort(), kPicture);
    }
    EXPECT_EQ(reply.rfind("HTTP/1.1 200 ", 0), 0u) << reply.substr(0, 40);
}

}  // namespace
}  // namespace oa::test

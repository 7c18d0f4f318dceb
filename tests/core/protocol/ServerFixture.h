// Shared set-up of the request tests: a loopback OA server, a signed-in session pointing at it,
// a fresh application home, and the form fields of what the server received.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"

namespace oa::test {

using Fields = std::vector<std::pair<std::string, std::string>>;

class ServerFixture : public ::testing::Test {
protected:
    static constexpr char kSession[] = "S-0427";
    static constexpr char kUid[] = "U-12";

    void SetUp() override {
        auto& session = GlobalVar::getInstance_global();
        session.resetForTesting();
        session.setOa(server.url(""));
        session.setSession_id(std::string(kSession));
        session.setUid(std::string(kUid));
    }

    void TearDown() override { GlobalVar::getInstance_global().resetForTesting(); }

    // A JSON (or plain) reply of the server for one page.
    void reply(const std::string& path, std::string body) {
        server.setReply(path,
                        {200, {{"Content-Type", "text/html; charset=utf-8"}}, std::move(body)});
    }

    // Names and values of the form fields of a request, in the order sent.
    static Fields fieldsOf(const CapturedRequest& request) {
        Fields fields;
        for (const auto& part : request.form()) {
            fields.emplace_back(part.name, part.value);
        }
        return fields;
    }

    // The one request the server received.
    CapturedRequest onlyRequest() const {
        const auto all = server.requests();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? CapturedRequest{} : all.front();
    }

    // "http://127.0.0.1:<port>" of a port nobody listens on: connecting is refused at once.
    static std::string unreachableAddress() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        const bool bound =
            fd >= 0 && ::bind(fd, generic, length) == 0 && ::getsockname(fd, generic, &length) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        EXPECT_TRUE(bound);
        return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }

    TempHome home;
    HttpTestServer server;
};

}  // namespace oa::test

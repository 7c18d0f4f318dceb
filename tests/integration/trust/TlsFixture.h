// The demo server over TLS on loopback, with certificates made for the test, and the client's
// core signing in to it with the trust file of the test's home as its pin source.
#pragma once

#include <gtest/gtest.h>

#include <any>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/session/TrustPlist.h"
#include "core/session/TrustQuestion.h"
#include "core/transport/ASIHTTPRequest.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/ServerCertificate.h"
#include "integration/ClientFixture.h"
#include "server/CertificateMaker.h"

namespace oa::test {

// The server listens here, and the certificate also names "localhost", another spelling of the
// same server.
inline constexpr char kTlsHost[] = "127.0.0.1";

// A server certificate for kTlsHost and localhost unless the params says otherwise.
inline PemIdentity makeIdentity(CertificateParams params = {}) {
    std::string error;
    auto made = CertificateMaker::make(params, &error);
    EXPECT_TRUE(made) << error;
    return made.value_or(PemIdentity{});
}

inline std::string fingerprintOf(const PemIdentity& identity) {
    const auto certificate = ServerCertificate::fromPem(identity.certificate);
    EXPECT_TRUE(certificate);
    return certificate ? certificate->fingerprint() : std::string();
}

// A loopback port nothing listens on: bound, then released.
inline int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    EXPECT_TRUE(bound);
    return ntohs(address.sin_port);
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Everything one sign-in attempt posted as "loginResult".
struct TlsSignIn {
    std::optional<std::vector<std::string>> modules;
    std::optional<std::string> failure;
    std::optional<TrustQuestion> question;
};

inline TlsSignIn attemptTlsSignIn(const std::string& address, const std::string& user = "zhangwei",
                                  const std::string& password = "123456") {
    TlsSignIn outcome;
    ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        LoginBO::kLoginResult, [&](const Notification& note) {
            if (const auto* modules = std::any_cast<std::vector<std::string>>(&note.object)) {
                outcome.modules = *modules;
            } else if (const auto* text = std::any_cast<std::string>(&note.object)) {
                outcome.failure = *text;
            } else if (const auto* question = std::any_cast<TrustQuestion>(&note.object)) {
                outcome.question = *question;
            }
        });
    LoginVO record;
    record.name = user;
    record.pwd = password;
    record.oa = address;
    LoginBO().loginOperation(record);
    return outcome;
}

class TlsServerTest : public ClientServerTest {
protected:
    // The identity the next server start presents; a test may replace it before SetUp.
    PemIdentity identity_ = makeIdentity();

    void configure(ServerOptions& options) override {
        options.host = kTlsHost;
        options.verbose = true;  // the server logs each request with its form fields
        options.tlsCertPath = (dir_ / "server.pem").string();
        options.tlsKeyPath = (dir_ / "server.key").string();
        writeText(options.tlsCertPath, identity_.certificate);
        writeText(options.tlsKeyPath, identity_.key);
    }

    void SetUp() override {
        TrustPlist::installAsPinSource();
        CertificatePins::shared().setAuthorityFile({});
        ClientServerTest::SetUp();
    }

    void TearDown() override {
        if (server_) {
            endConnectionsTo(kTlsHost, server_->httpPort());
        }
        ClientServerTest::TearDown();
        CertificatePins::shared().setAuthorityFile({});
        CertificatePins::shared().setSource({});
    }

    std::string hostPort(const std::string& host = kTlsHost) const {
        return host + ":" + std::to_string(server_->httpPort());
    }
    std::string httpsUrl(const std::string& host = kTlsHost) const {
        return "https://" + hostPort(host);
    }

    // A plain GET through the client's transport.
    std::shared_ptr<ASIHTTPRequest> fetch(const std::string& url) const {
        auto request = ASIHTTPRequest::requestWithURL(url);
        request->startSynchronous();
        return request;
    }
};

}  // namespace oa::test

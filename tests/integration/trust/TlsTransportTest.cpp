// The transport's trust rule against https servers on loopback: a pin helps exactly its own host
// and port, certificate authorities still work without one, downloads follow the same rule, and
// a trust file that cannot be read trusts nothing.
#include <fstream>

#include "integration/trust/TlsFixture.h"

namespace oa::test {
namespace {

using TlsTransportTest = TlsServerTest;

std::string pinOf(const PemIdentity& identity) {
    const auto certificate = ServerCertificate::fromPem(identity.certificate);
    return certificate ? certificate->pin() : std::string();
}

TEST_F(TlsTransportTest, RefusedCertificateIsItsOwnErrorNotAConnectionFailure) {
    const auto request = fetch(httpsUrl() + "/mobile/login.php");
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::UntrustedCertificate);

    const auto closed =
        fetch("https://" + std::string(kTlsHost) + ":" + std::to_string(closedPort()) + "/");
    ASSERT_TRUE(closed->error());
    EXPECT_EQ(closed->error()->type, RequestErrorType::ConnectionFailure);
}

TEST_F(TlsTransportTest, PinHelpsOnlyItsOwnHostAndPort) {
    // The certificate names both; only the pinned spelling of the server is accepted.
    ASSERT_TRUE(TrustPlist().trust({hostPort(), pinOf(identity_), "pinned"}));
    EXPECT_FALSE(fetch(httpsUrl() + "/")->error());

    const auto otherHost = fetch(httpsUrl("localhost") + "/");
    ASSERT_TRUE(otherHost->error());
    EXPECT_EQ(otherHost->error()->type, RequestErrorType::UntrustedCertificate);

    // A second server with the very same key on another port.
    ServerOptions options = server_->options();
    options.httpPort = 0;
    options.imPort = 0;
    DemoServer second(options);
    std::string error;
    ASSERT_TRUE(second.start(&error)) << error;
    const auto otherPort =
        fetch("https://" + std::string(kTlsHost) + ":" + std::to_string(second.httpPort()));
    ASSERT_TRUE(otherPort->error());
    EXPECT_EQ(otherPort->error()->type, RequestErrorType::UntrustedCertificate);
    endConnectionsTo(kTlsHost, second.httpPort());
}

TEST_F(TlsTransportTest, RemovedPinIsRefusedAtOnceEvenWithAConnectionOpen) {
    ASSERT_TRUE(TrustPlist().trust({hostPort(), pinOf(identity_), "pinned"}));
    ASSERT_FALSE(fetch(httpsUrl() + "/")->error());
    // The kept-alive connection and the cached TLS session were made under the pin.
    ASSERT_TRUE(TrustPlist().remove(hostPort()));
    const auto request = fetch(httpsUrl() + "/");
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::UntrustedCertificate);
}

TEST_F(TlsTransportTest, PinOfAnotherKeyIsRefusedAsChanged) {
    ASSERT_TRUE(TrustPlist().trust({hostPort(), pinOf(makeIdentity()), "another key"}));
    const auto request = fetch(httpsUrl() + "/");
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->type, RequestErrorType::CertificateChanged);
}

TEST_F(TlsTransportTest, AttachmentDownloadFollowsTheSameRule) {
    const auto target = dir_ / "download.bin";
    auto refused = ASIHTTPRequest::requestWithURL(httpsUrl() + "/mobile/login.php");
    refused->setDownloadDestinationPath(target.string());
    refused->startSynchronous();
    ASSERT_TRUE(refused->error());
    EXPECT_EQ(refused->error()->type, RequestErrorType::UntrustedCertificate);
    EXPECT_FALSE(std::filesystem::exists(target));

    ASSERT_TRUE(TrustPlist().trust({hostPort(), pinOf(identity_), "pinned"}));
    auto accepted = ASIHTTPRequest::requestWithURL(httpsUrl() + "/mobile/login.php");
    accepted->setDownloadDestinationPath(target.string());
    accepted->startSynchronous();
    EXPECT_FALSE(accepted->error()) << accepted->error()->description;
    EXPECT_EQ(accepted->responseStatusCode(), 200);
    EXPECT_GT(std::filesystem::file_size(target), 0u);
}

TEST_F(TlsTransportTest, CorruptTrustFileTrustsNothingAndSaysSo) {
    ASSERT_TRUE(TrustPlist().trust({hostPort(), pinOf(identity_), "pinned"}));
    ASSERT_FALSE(fetch(httpsUrl() + "/")->error());

    const struct {
        const char* name;
        std::string bytes;
    } corruptions[] = {
        {"not a property list", "\x01\x02garbage"},
        {"cut short", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>"},
        {"a pin that is none",
         "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>" + hostPort() +
             "</key><dict><key>sha256</key><string>AAAA</string></dict></dict></plist>"},
    };
    for (const auto& corruption : corruptions) {
        SCOPED_TRACE(corruption.name);
        writeText(TrustPlist().filePath(), corruption.bytes);
        LogCapture log;
        const auto request = fetch(httpsUrl() + "/");
        ASSERT_TRUE(request->error());
        EXPECT_EQ(request->error()->type, RequestErrorType::UntrustedCertificate);
        EXPECT_TRUE(log.contains("trusted-server list unreadable"));
        EXPECT_TRUE(TrustPlist().list().empty());
    }
    // Trusting again starts the file over.
    ASSERT_TRUE(TrustPlist().trust({hostPort(), pinOf(identity_), "pinned"}));
    EXPECT_FALSE(fetch(httpsUrl() + "/")->error());
}

class AuthorityTest : public TlsServerTest {
protected:
    const PemIdentity authority_ = [] {
        CertificateParams params;
        params.commonName = "OA Test Authority";
        params.authority = true;
        return makeIdentity(params);
    }();

    void SetUp() override {
        CertificateParams params;
        params.commonName = kTlsHost;
        params.hosts = {kTlsHost};
        params.issuer = &authority_;
        identity_ = makeIdentity(params);
        TlsServerTest::SetUp();
    }
};

TEST_F(AuthorityTest, CertificateOfATrustedAuthorityPassesWithoutAPin) {
    const auto unknown = fetch(httpsUrl() + "/");
    ASSERT_TRUE(unknown->error()) << "the authority is not one of the system's";
    EXPECT_EQ(unknown->error()->type, RequestErrorType::UntrustedCertificate);

    const auto store = dir_ / "authorities.pem";
    writeText(store, authority_.certificate);
    CertificatePins::shared().setAuthorityFile(store.string());
    EXPECT_FALSE(fetch(httpsUrl() + "/")->error());
    EXPECT_TRUE(attemptTlsSignIn(httpsUrl()).modules);
    EXPECT_TRUE(TrustPlist().list().empty());

    // The authority vouches for the name it signed, not for another spelling of the server.
    const auto otherName = fetch(httpsUrl("localhost") + "/");
    ASSERT_TRUE(otherName->error());
    EXPECT_EQ(otherName->error()->type, RequestErrorType::UntrustedCertificate);
}

TEST(HostPortTest, KeysAnHttpsAddressByHostAndPort) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://OA.Example.com/mobile/login.php", "oa.example.com:443"},
        {"https://oa.example.com:8443", "oa.example.com:8443"},
        {"HTTPS://user:pw@oa.example.com:8443/x?y#z", "oa.example.com:8443"},
        {"https://[::1]:8443/", "[::1]:8443"},
        {"https://[::1]/", "[::1]:443"},
        {"http://oa.example.com/", ""},
        {"https://oa.example.com:80x/", ""},
    };
    for (const auto& [url, expected] : cases) {
        EXPECT_EQ(CertificatePins::hostPortOf(url), expected) << url;
    }
}

}  // namespace
}  // namespace oa::test

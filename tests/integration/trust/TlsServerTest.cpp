// The demo server's TLS side: its options, the self-signed identity kept beside the database
// across restarts, and the handshake held to the request-head time limit.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/transport/CertificateProbe.h"
#include "integration/trust/TlsFixture.h"
#include "server/ServerOptions.h"
#include "server/TlsIdentity.h"

namespace oa::test {
namespace {

TEST(TlsServerOptionsTest, CertificateAndKeyGoTogetherAndExcludeSelfSigned) {
    const auto both = ServerOptions::parse({"--tls-cert", "c.pem", "--tls-key", "k.pem"});
    ASSERT_TRUE(both.options);
    EXPECT_EQ(both.options->tlsCertPath, "c.pem");
    EXPECT_EQ(both.options->tlsKeyPath, "k.pem");
    EXPECT_TRUE(ServerOptions::parse({"--tls-self-signed"}).options->tlsSelfSigned);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--tls-cert", "c.pem"},
          {"--tls-key", "k.pem"},
          {"--tls-self-signed", "--tls-cert", "c.pem", "--tls-key", "k.pem"},
          {"--tls-cert"}}) {
        const auto parsed = ServerOptions::parse(args);
        EXPECT_FALSE(parsed.options) << args.front();
        EXPECT_EQ(parsed.exitCode, 2);
    }
}

class SelfSignedTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = freshDirectory("oa-self-signed"); }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Starts a server with a self-signed identity on the database, and returns the fingerprint
    // it presents.
    std::string startAndProbe() {
        ServerOptions options;
        options.host = kTlsHost;
        options.httpPort = 0;
        options.imPort = 0;
        options.dbPath = (dir_ / "demo.sqlite3").string();
        std::filesystem::copy_file(seededTemplate(), options.dbPath,
                                   std::filesystem::copy_options::skip_existing);
        options.tlsSelfSigned = true;
        DemoServer server(options);
        std::string error;
        EXPECT_TRUE(server.start(&error)) << error;
        EXPECT_TRUE(server.tls());
        const auto certificate = CertificateProbe::fetch(
            "https://" + std::string(kTlsHost) + ":" + std::to_string(server.httpPort()), &error);
        EXPECT_TRUE(certificate) << error;
        endConnectionsTo(kTlsHost, server.httpPort());
        return certificate ? certificate->fingerprint() : std::string();
    }

    std::filesystem::path dir_;
};

TEST_F(SelfSignedTest, MadeOnFirstStartAndPresentedAgainAfterARestart) {
    const std::string db = (dir_ / "demo.sqlite3").string();
    const std::string first = startAndProbe();
    ASSERT_FALSE(first.empty());
    struct stat key {};
    ASSERT_EQ(::stat(TlsIdentity::selfSignedKeyPath(db).c_str(), &key), 0);
    EXPECT_EQ(key.st_mode & 0777, 0600u);
    const auto onDisk = ServerCertificate::fromPem([&] {
        std::ifstream in(TlsIdentity::selfSignedCertPath(db));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }());
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(onDisk->fingerprint(), first);

    EXPECT_EQ(startAndProbe(), first);
}

TEST(TlsHandshakeTest, SilentPeerIsDroppedAtTheRequestHeadLimit) {
    auto dir = freshDirectory("oa-tls-silent");
    const PemIdentity identity = makeIdentity();
    writeText(dir / "c.pem", identity.certificate);
    writeText(dir / "k.pem", identity.key);
    ServerOptions options;
    options.host = kTlsHost;
    options.httpPort = 0;
    options.imPort = 0;
    options.dbPath = (dir / "demo.sqlite3").string();
    std::filesystem::copy_file(seededTemplate(), options.dbPath);
    options.tlsCertPath = (dir / "c.pem").string();
    options.tlsKeyPath = (dir / "k.pem").string();
    options.requestHeadSeconds = 1;
    LogCapture log;
    DemoServer server(options);
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;

    // A peer that connects and never starts the handshake.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.httpPort());
    ::inet_pton(AF_INET, kTlsHost, &address.sin_addr);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    pollfd wait{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&wait, 1, 30'000), 1) << "the server keeps the silent connection";
    char byte = 0;
    EXPECT_EQ(::recv(fd, &byte, 1, 0), 0) << "closed without a reply";
    ::close(fd);
    EXPECT_TRUE(log.waitFor("timed out"));
    server.stop();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace
}  // namespace oa::test

// Signing in to an https server: refused with a question while its certificate is not trusted
// (with nothing of the form sent), accepted once its key is pinned, refused again when the key
// changes.
#include <sys/stat.h>

#include "integration/trust/TlsFixture.h"

namespace oa::test {
namespace {

using TlsSignInTest = TlsServerTest;

TEST_F(TlsSignInTest, UntrustedServerIsAskedAboutAndReceivesNoFormField) {
    LogCapture log;
    const auto outcome = attemptTlsSignIn(httpsUrl());
    ASSERT_TRUE(outcome.question) << outcome.failure.value_or("no question");
    EXPECT_FALSE(outcome.modules);
    const TrustQuestion& question = *outcome.question;
    EXPECT_FALSE(question.changed);
    EXPECT_EQ(question.title(), "服务器证书不受信任");
    EXPECT_EQ(question.hostPort, hostPort());
    EXPECT_EQ(question.certificate.fingerprint(), fingerprintOf(identity_));
    EXPECT_NE(question.certificate.subject.find(kTlsHost), std::string::npos);
    EXPECT_FALSE(question.certificate.notBefore.empty());
    EXPECT_FALSE(question.certificate.notAfter.empty());
    const std::string text = question.message();
    EXPECT_NE(text.find(fingerprintOf(identity_)), std::string::npos) << text;
    EXPECT_NE(text.find(question.certificate.notAfter), std::string::npos) << text;

    // The server logs every request it reads, with its fields; it read none, and refused the
    // handshakes the client gave up.
    EXPECT_TRUE(log.contains("TLS handshake with"));
    EXPECT_FALSE(log.contains(" POST /mobile/login.php "));
    EXPECT_FALSE(log.contains("USERNAME"));
    EXPECT_FALSE(TrustPlist().find(hostPort())) << "nothing is trusted without the user";
}

TEST_F(TlsSignInTest, TrustedServerSignsInAndTheTrustFileIsPrivate) {
    const auto refused = attemptTlsSignIn(httpsUrl());
    ASSERT_TRUE(refused.question);
    ASSERT_TRUE(refused.question->trust());

    const auto outcome = attemptTlsSignIn(httpsUrl());
    EXPECT_TRUE(outcome.modules) << outcome.failure.value_or("") << " "
                                 << (outcome.question ? outcome.question->title() : "");

    struct stat info {};
    ASSERT_EQ(::stat(TrustPlist().filePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(TrustPlist().filePath().parent_path(),
              PlistManager().dataSetFilePath().parent_path());
    // The environments file is replaced whole on every save; the pin is not kept there.
    PlistManager().saveSetInfo({{"name1", "x"}});
    ASSERT_TRUE(TrustPlist().find(hostPort()));
    EXPECT_EQ(TrustPlist().find(hostPort())->fingerprint(), fingerprintOf(identity_));
}

TEST_F(TlsSignInTest, ChangedKeyIsRefusedWithBothFingerprintsUntilTrustedAnew) {
    const PemIdentity earlier = makeIdentity();
    const auto earlierCertificate = ServerCertificate::fromPem(earlier.certificate);
    ASSERT_TRUE(earlierCertificate);
    ASSERT_TRUE(TrustPlist().trust({hostPort(), earlierCertificate->pin(), "earlier"}));

    LogCapture log;
    const auto outcome = attemptTlsSignIn(httpsUrl());
    ASSERT_TRUE(outcome.question) << outcome.failure.value_or("no question");
    EXPECT_FALSE(outcome.modules);
    EXPECT_TRUE(outcome.question->changed);
    EXPECT_EQ(outcome.question->title(), "服务器证书已变更");
    EXPECT_EQ(outcome.question->previousFingerprint, fingerprintOf(earlier));
    EXPECT_EQ(outcome.question->certificate.fingerprint(), fingerprintOf(identity_));
    const std::string text = outcome.question->message();
    EXPECT_NE(text.find(fingerprintOf(earlier)), std::string::npos) << text;
    EXPECT_NE(text.find(fingerprintOf(identity_)), std::string::npos) << text;
    EXPECT_FALSE(log.contains("USERNAME"));
    // Nothing was trusted silently: the old pin stays until the user answers.
    EXPECT_EQ(TrustPlist().find(hostPort())->fingerprint(), fingerprintOf(earlier));

    ASSERT_TRUE(outcome.question->trust());
    EXPECT_TRUE(attemptTlsSignIn(httpsUrl()).modules);
}

TEST_F(TlsSignInTest, PlainAddressFailureStaysForAServerThatIsNotThere) {
    const std::string closed =
        "https://" + std::string(kTlsHost) + ":" + std::to_string(closedPort());
    const auto outcome = attemptTlsSignIn(closed);
    EXPECT_FALSE(outcome.question);
    EXPECT_EQ(outcome.failure, std::string(LoginBO::kAddressFailure));
}

}  // namespace
}  // namespace oa::test

// TrustQuestion: the probe behind the question and the pin its answer stores.
#include "core/session/TrustQuestion.h"

#include "core/session/TrustPlist.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/CertificateProbe.h"

namespace oa {

bool TrustQuestion::concerns(const std::optional<RequestError>& error) {
    return error && (error->type == RequestErrorType::UntrustedCertificate ||
                     error->type == RequestErrorType::CertificateChanged);
}

std::optional<TrustQuestion> TrustQuestion::ask(const RequestError& error, const std::string& url,
                                                std::string* why) {
    TrustQuestion question;
    question.url = url;
    question.hostPort = CertificatePins::hostPortOf(url);
    question.changed = error.type == RequestErrorType::CertificateChanged;
    if (question.changed) {
        const auto pinned = TrustPlist().find(question.hostPort);
        question.previousFingerprint = pinned ? pinned->fingerprint() : std::string();
    }
    auto certificate = CertificateProbe::fetch(url, why);
    if (!certificate) {
        return std::nullopt;
    }
    question.certificate = std::move(*certificate);
    return question;
}

std::string TrustQuestion::message() const {
    std::string text = "服务器：" + hostPort + "\n主题：" + certificate.subject + "\n颁发者：" +
                       certificate.issuer + "\n有效期：" + certificate.notBefore + " 至 " +
                       certificate.notAfter + "\n";
    if (changed) {
        text += "原公钥 SHA-256 指纹：\n" + previousFingerprint + "\n新公钥 SHA-256 指纹：\n";
    } else {
        text += "公钥 SHA-256 指纹：\n";
    }
    return text + certificate.fingerprint();
}

bool TrustQuestion::trust() const {
    return TrustPlist().trust({hostPort, certificate.pin(), certificate.subject});
}

}  // namespace oa

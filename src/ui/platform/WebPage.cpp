// WebPage: navigation decisions and new windows.
#include "ui/platform/WebPage.h"

#include <QSslCertificate>
#include <string>
#include <string_view>

#include "core/platform/Log.h"
#include "core/transport/CertificatePins.h"
#include "ui/platform/WebView.h"

namespace oa {

WebPage::WebPage(QWebEngineProfile* profile, WebView* view)
    : QWebEnginePage(profile, view), view_(view) {
    connect(this, &QWebEnginePage::certificateError, this, &WebPage::decideCertificate);
}

void WebPage::decideCertificate(const QWebEngineCertificateError& error) {
    QWebEngineCertificateError decision = error;
    const auto chain = error.certificateChain();
    const QByteArray der = chain.isEmpty() ? QByteArray() : chain.first().toDer();
    const std::string url = error.url().toString().toStdString();
    if (error.isOverridable() &&
        CertificatePins::shared().acceptsPinned(
            url, std::string_view(der.constData(), static_cast<std::size_t>(der.size())))) {
        decision.acceptCertificate();
        return;
    }
    log("web view refused the certificate of " + url + ": " + error.description().toStdString());
    decision.rejectCertificate();
}

void WebPage::downloadRequested(const QUrl& url, const QString& suggestedName) {
    view_->handOnDownload(url, suggestedName);
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    return view_->decideNavigation(url, type, isMainFrame);
}

QWebEnginePage* WebPage::createWindow(WebWindowType) {
    return this;
}

}  // namespace oa

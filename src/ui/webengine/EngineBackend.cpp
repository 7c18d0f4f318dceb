// The web engine module's backend: the link schemes, the one off-the-record profile every page
// shares, the routing of downloads to the page that asked and the cookie copy. Exports only
// the entry function; everything else is hidden inside the module.
#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkCookie>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <algorithm>

#include "ui/platform/WebEngineBackend.h"
#include "ui/webengine/EnginePage.h"

namespace oa {

namespace {

// The client's links are decided by the page before any request is made; one that gets this
// far (typed, or from a frame the page let through) loads nothing.
class RefusingSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};

QNetworkCookie toNetworkCookie(const SessionCookie& cookie) {
    QNetworkCookie out(QByteArray::fromStdString(cookie.name),
                       QByteArray::fromStdString(cookie.value));
    out.setPath(QString::fromStdString(cookie.path));
    out.setSecure(cookie.secure);
    out.setHttpOnly(cookie.httpOnly);
    if (cookie.expires > 0) {
        out.setExpirationDate(QDateTime::fromSecsSinceEpoch(cookie.expires));
    }
    // Without a domain the cookie belongs to the origin's host alone, as in the transport.
    if (cookie.includeSubdomains) {
        out.setDomain(QLatin1Char('.') + QString::fromStdString(cookie.domain));
    }
    return out;
}

QUrl originOf(const SessionCookie& cookie) {
    return QUrl(QString::fromLatin1(cookie.secure ? "https://" : "http://") +
                QString::fromStdString(cookie.domain) + QLatin1Char('/'));
}

bool sameSlot(const SessionCookie& a, const SessionCookie& b) {
    return a.domain == b.domain && a.path == b.path && a.name == b.name;
}

void handOnDownload(QWebEngineDownloadRequest* download) {
    // The engine writes nothing itself: the page that asked decides what to do with the address.
    auto* page = qobject_cast<EngineWebPage*>(download->page());
    const QUrl url = download->url();
    const QString name = download->suggestedFileName();
    download->cancel();
    if (page) {
        page->downloadRequested(url, name);
    }
}

class EngineBackend : public WebEngineBackend {
public:
    EngineBackend() {
        // Registered before the engine starts (with the first profile); without it the engine
        // hands such links to the desktop and the page never sees them.
        for (const char* name : {kMessageScheme, kBackToMainScheme}) {
            QWebEngineUrlScheme scheme(name);
            scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
            QWebEngineUrlScheme::registerScheme(scheme);
        }
    }

    std::unique_ptr<WebEnginePage> createPage(WebPageClient& client, QWidget* parent) override {
        return std::make_unique<EnginePage>(ensureProfile(), client, parent);
    }

    bool started() const override { return !profile_.isNull(); }

    QObject* profile() override { return profile_; }

    void setSessionCookies(const std::vector<SessionCookie>& current) override {
        if (!profile_) {
            return;
        }
        QWebEngineCookieStore* store = profile_->cookieStore();
        for (const SessionCookie& old : copied_) {
            const bool kept = std::any_of(current.begin(), current.end(),
                                          [&](const SessionCookie& c) { return sameSlot(c, old); });
            if (!kept) {
                store->deleteCookie(toNetworkCookie(old), originOf(old));
            }
        }
        for (const SessionCookie& cookie : current) {
            if (std::find(copied_.begin(), copied_.end(), cookie) == copied_.end()) {
                store->setCookie(toNetworkCookie(cookie), originOf(cookie));
            }
        }
        copied_ = current;
    }

private:
    QWebEngineProfile* ensureProfile() {
        if (profile_) {
            return profile_;
        }
        // No storage name: off the record, nothing written to disk. It lives as long as the
        // application, which deletes it after every page.
        auto* profile = new QWebEngineProfile(QCoreApplication::instance());
        profile->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        auto* refuse = new RefusingSchemeHandler(profile);
        for (const char* name : {kMessageScheme, kBackToMainScheme}) {
            profile->installUrlSchemeHandler(name, refuse);
        }
        QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &handOnDownload);
        profile_ = profile;
        copied_.clear();
        return profile;
    }

    QPointer<QWebEngineProfile> profile_;
    std::vector<SessionCookie> copied_;  // what the profile was last given
};

}  // namespace

}  // namespace oa

// The module's entry: the backend as a WebEngineBackend*, or null for another version.
extern "C" Q_DECL_EXPORT void* oa_web_engine_backend(int version) {
    if (version != oa::kWebEngineBackendVersion) {
        return nullptr;
    }
    static oa::WebEngineBackend* backend = new oa::EngineBackend;  // lives with the process
    return backend;
}

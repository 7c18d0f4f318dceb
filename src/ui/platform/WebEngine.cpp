// WebEngine: scheme registration, the shared profile, the cookie copy and the routing of the
// engine's downloads to the view that asked for them.
#include "ui/platform/WebEngine.h"

#include <unistd.h>

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
#include <vector>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/session/LoginBO.h"
#include "core/transport/CookieExport.h"
#include "ui/platform/WebPage.h"

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

struct ProfileState {
    QPointer<QWebEngineProfile> profile;
    std::vector<SessionCookie> copied;  // what the profile was last given
    ObserverToken signIn;
};

// Main thread only.
ProfileState& state() {
    static ProfileState* s = new ProfileState;  // outlives every view, like the engine
    return *s;
}

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
    // The engine writes nothing itself: the view that asked decides what to do with the address.
    auto* page = qobject_cast<WebPage*>(download->page());
    const QUrl url = download->url();
    const QString name = download->suggestedFileName();
    download->cancel();
    if (page) {
        page->downloadRequested(url, name);
    }
}

}  // namespace

void prepareWebEngine() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    for (const char* name : {kMessageScheme, kBackToMainScheme}) {
        QWebEngineUrlScheme scheme(name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        log("web engine: running as root, sandbox disabled (QTWEBENGINE_DISABLE_SANDBOX=1)");
    }
}

bool webProfileCreated() {
    return !state().profile.isNull();
}

QWebEngineProfile* webProfile() {
    ProfileState& s = state();
    if (s.profile) {
        return s.profile;
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
    s.profile = profile;
    s.copied.clear();
    // A sign-in replaces the session cookie; the notification comes on the loader's thread.
    s.signIn = NotificationCenter::defaultCenter().addObserver(
        LoginBO::kLoginResult,
        [](const auto&) { MainLoop::main().post([] { copySessionCookies(); }); });
    copySessionCookies();
    return profile;
}

void copySessionCookies() {
    ProfileState& s = state();
    if (!s.profile) {
        return;
    }
    const std::vector<SessionCookie> current = exportSessionCookies();
    QWebEngineCookieStore* store = s.profile->cookieStore();
    for (const SessionCookie& old : s.copied) {
        const bool kept = std::any_of(current.begin(), current.end(),
                                      [&](const SessionCookie& c) { return sameSlot(c, old); });
        if (!kept) {
            store->deleteCookie(toNetworkCookie(old), originOf(old));
        }
    }
    for (const SessionCookie& cookie : current) {
        if (std::find(s.copied.begin(), s.copied.end(), cookie) == s.copied.end()) {
            store->setCookie(toNetworkCookie(cookie), originOf(cookie));
        }
    }
    s.copied = current;
}

}  // namespace oa

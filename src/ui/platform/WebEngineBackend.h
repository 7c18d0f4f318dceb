// The seam between the client and the web engine module. The engine's libraries are large and
// slow to load, so the client does not link them: the module (oa_webengine.so) is loaded with
// the first web view and hands out a WebEngineBackend. Only these abstract classes, Qt's own
// types and the plain records of core/transport/CookieExport.h cross the seam, so the module
// needs nothing of the client's code and the client nothing of the engine's.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "core/transport/CookieExport.h"

class QObject;
class QWidget;

namespace oa {

// The version of these classes; the module refuses a client built against another.
inline constexpr int kWebEngineBackendVersion = 2;
// The module's one exported function, `void* oa_web_engine_backend(int version)`, returns its
// WebEngineBackend* (see ClientModule.h).
inline constexpr const char* kWebEngineBackendEntry = "oa_web_engine_backend";

// Link schemes that the server's pages use to talk to the client instead of loading a page.
inline constexpr const char* kMessageScheme = "message";
inline constexpr const char* kBackToMainScheme = "backtomain";

enum class WebNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, Other };
enum class WebLoadStatus { Started, Succeeded, Stopped, Failed };

// What a page asks of the view that shows it. Main thread.
class WebPageClient {
public:
    virtual ~WebPageClient() = default;
    virtual bool decideNavigation(const QUrl& url, WebNavigationType type, bool isMainFrame) = 0;
    // A download the page started, already stopped in the engine.
    virtual void downloadRequested(const QUrl& url, const QString& suggestedName) = 0;
    // The main frame's load of `url` moved to `status`; `error` only with Failed.
    virtual void loadingChanged(WebLoadStatus status, const QUrl& url, const QString& error) = 0;
    // Every request of the page (the page itself, its frames, pictures, scripts, XHR); false
    // blocks it.
    virtual bool allowRequest(const QUrl& url) = 0;
    // The engine refused the certificate (DER of the leaf) of `url`; true accepts it anyway.
    virtual bool acceptCertificate(const QUrl& url, const QByteArray& der, bool overridable,
                                   const QString& description) = 0;
};

// One page and the engine's widget showing it. Deleting it deletes the widget.
class WebEnginePage {
public:
    virtual ~WebEnginePage() = default;
    virtual QWidget* widget() = 0;
    virtual void load(const QUrl& url) = 0;
    virtual QUrl url() const = 0;
    virtual void setBackgroundColor(const QColor& color) = 0;
    virtual void setZoomFactor(double factor) = 0;
    virtual double zoomFactor() const = 0;
    // `done` runs later on the main thread with the script's value, if the page still exists.
    virtual void runJavaScript(const QString& script,
                               std::function<void(const QVariant&)> done) = 0;
};

class WebEngineBackend {
public:
    virtual ~WebEngineBackend() = default;
    // A page whose widget is a child of `parent`, reporting to `client` (which outlives it).
    // The first call starts the engine. Main thread.
    virtual std::unique_ptr<WebEnginePage> createPage(WebPageClient& client, QWidget* parent) = 0;
    // Whether the engine has started (a page was made).
    virtual bool started() const = 0;
    // Makes the engine's cookies those given: new and changed ones set, missing ones deleted.
    // Does nothing before the engine started. Main thread.
    virtual void setSessionCookies(const std::vector<SessionCookie>& cookies) = 0;
    // The engine's profile (a QWebEngineProfile), null before start; for tests.
    virtual QObject* profile() = 0;
};

}  // namespace oa

// WebPage: the page behind a WebView. It puts every navigation to the view's decision, opens
// pages meant for a new window in place and passes on the downloads it asks for. A certificate
// the engine refuses is accepted only from a server pinned with that certificate's key, as the
// transport does; every other certificate error is refused.
#pragma once

#include <QWebEngineCertificateError>
#include <QWebEnginePage>

namespace oa {

class WebView;

class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    WebPage(QWebEngineProfile* profile, WebView* view);

    // A download the page started (a PDF, say), already stopped in the engine.
    void downloadRequested(const QUrl& url, const QString& suggestedName);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // target="_blank" and window.open(): the phone has one page, so the link replaces it.
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void decideCertificate(const QWebEngineCertificateError& error);

    WebView* view_;
};

}  // namespace oa

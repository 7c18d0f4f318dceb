// A page of the web engine module: a QWebEngineView with its own QWebEnginePage, reporting
// navigations, loads, downloads and certificate errors to the view that made it.
#pragma once

#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "ui/platform/WebEngineBackend.h"

class QWebEngineLoadingInfo;

namespace oa {

class EngineWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    EngineWebPage(QWebEngineProfile* profile, WebPageClient& client, QObject* parent);

    void downloadRequested(const QUrl& url, const QString& suggestedName);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // target="_blank" and window.open(): the phone has one page, so the link replaces it.
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void decideCertificate(const QWebEngineCertificateError& error);
    void reportLoading(const QWebEngineLoadingInfo& info);

    WebPageClient& client_;
};

class EnginePage : public WebEnginePage {
public:
    EnginePage(QWebEngineProfile* profile, WebPageClient& client, QWidget* parent);
    ~EnginePage() override;

    QWidget* widget() override { return view_; }
    void load(const QUrl& url) override;
    QUrl url() const override;
    void setBackgroundColor(const QColor& color) override;
    void setZoomFactor(double factor) override;
    double zoomFactor() const override;
    void runJavaScript(const QString& script, std::function<void(const QVariant&)> done) override;

private:
    QPointer<QWebEngineView> view_;
    QPointer<EngineWebPage> page_;
};

}  // namespace oa

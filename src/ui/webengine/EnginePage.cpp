// The engine's page and view behind a client web view.
#include "ui/webengine/EnginePage.h"

#include <QList>
#include <QSslCertificate>
#include <QWebEngineLoadingInfo>
#include <QWebEngineUrlRequestInterceptor>

namespace oa {

namespace {

WebNavigationType navigationType(QWebEnginePage::NavigationType type) {
    switch (type) {
        case QWebEnginePage::NavigationTypeLinkClicked:
            return WebNavigationType::LinkClicked;
        case QWebEnginePage::NavigationTypeFormSubmitted:
            return WebNavigationType::FormSubmitted;
        case QWebEnginePage::NavigationTypeBackForward:
            return WebNavigationType::BackForward;
        case QWebEnginePage::NavigationTypeReload:
            return WebNavigationType::Reload;
        default:
            return WebNavigationType::Other;
    }
}

WebLoadStatus loadStatus(QWebEngineLoadingInfo::LoadStatus status) {
    switch (status) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            return WebLoadStatus::Started;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            return WebLoadStatus::Succeeded;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            return WebLoadStatus::Stopped;
        case QWebEngineLoadingInfo::LoadFailedStatus:
            break;
    }
    return WebLoadStatus::Failed;
}

// Asks the view about every request of its page; runs on the main thread.
class RequestGate : public QWebEngineUrlRequestInterceptor {
public:
    RequestGate(WebPageClient& client, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), client_(client) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (!client_.allowRequest(info.requestUrl())) {
            info.block(true);
        }
    }

private:
    WebPageClient& client_;
};

}  // namespace

EngineWebPage::EngineWebPage(QWebEngineProfile* profile, WebPageClient& client, QObject* parent)
    : QWebEnginePage(profile, parent), client_(client) {
    setUrlRequestInterceptor(new RequestGate(client, this));
    connect(this, &QWebEnginePage::certificateError, this, &EngineWebPage::decideCertificate);
    connect(this, &QWebEnginePage::loadingChanged, this, &EngineWebPage::reportLoading);
}

void EngineWebPage::decideCertificate(const QWebEngineCertificateError& error) {
    QWebEngineCertificateError decision = error;
    const QList<QSslCertificate> chain = error.certificateChain();
    const QByteArray der = chain.isEmpty() ? QByteArray() : chain.first().toDer();
    if (client_.acceptCertificate(error.url(), der, error.isOverridable(), error.description())) {
        decision.acceptCertificate();
    } else {
        decision.rejectCertificate();
    }
}

void EngineWebPage::reportLoading(const QWebEngineLoadingInfo& info) {
    client_.loadingChanged(loadStatus(info.status()), info.url(), info.errorString());
}

void EngineWebPage::downloadRequested(const QUrl& url, const QString& suggestedName) {
    client_.downloadRequested(url, suggestedName);
}

bool EngineWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                            bool isMainFrame) {
    return client_.decideNavigation(url, navigationType(type), isMainFrame);
}

QWebEnginePage* EngineWebPage::createWindow(WebWindowType) {
    return this;
}

EnginePage::EnginePage(QWebEngineProfile* profile, WebPageClient& client, QWidget* parent)
    : view_(new QWebEngineView(parent)) {
    page_ = new EngineWebPage(profile, client, view_);
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
}

EnginePage::~EnginePage() {
    // The page goes first, while the client it reports to still exists; nothing it does while
    // going reaches the client any more.
    if (page_) {
        page_->disconnect();
        if (view_) {
            view_->setPage(nullptr);
        }
        delete page_;
    }
    delete view_;
}

void EnginePage::load(const QUrl& url) {
    view_->load(url);
}

QUrl EnginePage::url() const {
    return view_ ? view_->url() : QUrl();
}

void EnginePage::setBackgroundColor(const QColor& color) {
    page_->setBackgroundColor(color);
}

void EnginePage::setZoomFactor(double factor) {
    view_->setZoomFactor(factor);
}

double EnginePage::zoomFactor() const {
    return view_ ? view_->zoomFactor() : 1.0;
}

void EnginePage::runJavaScript(const QString& script, std::function<void(const QVariant&)> done) {
    page_->runJavaScript(script, [done = std::move(done)](const QVariant& value) {
        if (done) {
            done(value);
        }
    });
}

}  // namespace oa

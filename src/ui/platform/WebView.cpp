// WebView: load reporting, navigation decisions and fitting to width.
#include "ui/platform/WebView.h"

#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <algorithm>

#include "ui/platform/WebEngine.h"
#include "ui/platform/WebPage.h"

namespace oa {

namespace {

// How far out a wide page is zoomed at most, and how far in the engine allows.
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 1.0;

WebView::NavigationType navigationType(QWebEnginePage::NavigationType type) {
    switch (type) {
        case QWebEnginePage::NavigationTypeLinkClicked:
            return WebView::NavigationType::LinkClicked;
        case QWebEnginePage::NavigationTypeFormSubmitted:
            return WebView::NavigationType::FormSubmitted;
        case QWebEnginePage::NavigationTypeBackForward:
            return WebView::NavigationType::BackForward;
        case QWebEnginePage::NavigationTypeReload:
            return WebView::NavigationType::Reload;
        default:
            return WebView::NavigationType::Other;
    }
}

}  // namespace

WebView::WebView(QWidget* parent) : QWebEngineView(parent), page_(new WebPage(webProfile(), this)) {
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(page_, &QWebEnginePage::loadingChanged, this, &WebView::loadingChanged);
}

WebView::~WebView() {
    // The page goes first, while the view it reports to still exists.
    decision_ = nullptr;
    downloads_ = nullptr;
    disconnect(page_, nullptr, this, nullptr);
    setPage(nullptr);
    delete page_;
}

void WebView::setBackgroundColor(const QColor& color) {
    page_->setBackgroundColor(color);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
}

void WebView::loadRequest(const QUrl& url) {
    copySessionCookies();
    load(url);
}

bool WebView::decideNavigation(const QUrl& url, QWebEnginePage::NavigationType type,
                               bool isMainFrame) {
    const bool allowed = !decision_ || decision_(url.toString(QUrl::FullyEncoded).toStdString(),
                                                 navigationType(type));
    if (!allowed && isMainFrame) {
        refused_.insert(url);
    }
    return allowed;
}

void WebView::handOnDownload(const QUrl& url, const QString& suggestedName) {
    if (downloads_) {
        downloads_(url, suggestedName);
    }
}

void WebView::loadingChanged(const QWebEngineLoadingInfo& info) {
    if (refused_.contains(info.url())) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
            refused_.remove(info.url());
        }
        return;
    }
    switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            loading_ = true;
            emit didStartLoad();
            break;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            loading_ = false;
            if (scalesPageToFit_) {
                fitToWidth();
            }
            emit didFinishLoad();
            break;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
        case QWebEngineLoadingInfo::LoadFailedStatus:
            if (!loading_) {
                break;
            }
            loading_ = false;
            // Stopped: cut short, or turned into a download; no failure to show.
            if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus) {
                emit didFinishLoad();
            } else {
                emit didFailLoad(info.errorString());
            }
            break;
    }
}

void WebView::fitToWidth() {
    const QPointer<WebView> guard(this);
    page_->runJavaScript(
        QStringLiteral("Math.max(document.documentElement.scrollWidth,"
                       " document.body ? document.body.scrollWidth : 0)"),
        [guard](const QVariant& result) {
            const double contentWidth = result.toDouble();
            if (!guard || contentWidth <= 0 || guard->width() <= 0) {
                return;
            }
            guard->setZoomFactor(std::clamp(guard->width() / contentWidth, kMinZoom, kMaxZoom));
        });
}

}  // namespace oa

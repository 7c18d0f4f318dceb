// WebPage: navigation decisions and new windows.
#include "ui/platform/WebPage.h"

#include "ui/platform/WebView.h"

namespace oa {

WebPage::WebPage(QWebEngineProfile* profile, WebView* view)
    : QWebEnginePage(profile, view), view_(view) {}

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

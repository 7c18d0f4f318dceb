// WebView: a web page inside a screen, the way the phone's web view behaves: it reports start,
// end and failure of each page load, lets its owner refuse any navigation (the server's pages
// signal the client through links of their own schemes), can scale wide pages to its width,
// and hands downloads to its owner instead of saving them.
#pragma once

#include <QColor>
#include <QSet>
#include <QUrl>
#include <QWebEngineView>
#include <functional>
#include <string>

class QWebEngineLoadingInfo;

namespace oa {

class WebPage;

class WebView : public QWebEngineView {
    Q_OBJECT
public:
    enum class NavigationType { LinkClicked, FormSubmitted, BackForward, Reload, Other };

    // Decides whether the page may load `url` (its fully encoded text). Runs inside the
    // engine's navigation: an owner that closes the view because of a link must do so later,
    // from the event loop.
    using Decision = std::function<bool(const std::string& url, NavigationType type)>;
    // Receives the address and proposed file name of a download the page started.
    using DownloadHandler = std::function<void(const QUrl& url, const QString& suggestedName)>;

    explicit WebView(QWidget* parent = nullptr);
    ~WebView() override;

    void setShouldStartLoadWithRequest(Decision decision) { decision_ = std::move(decision); }
    void setDownloadHandler(DownloadHandler handler) { downloads_ = std::move(handler); }

    // Shown behind and before the page.
    void setBackgroundColor(const QColor& color);
    // Zooms a page wider than the view out to the view's width once it has loaded.
    void setScalesPageToFit(bool fit) { scalesPageToFit_ = fit; }
    bool scalesPageToFit() const { return scalesPageToFit_; }

    // Loads `url` with the session's cookies copied into the engine first.
    void loadRequest(const QUrl& url);

    // Whether a page load that the owner has been told of is under way.
    bool isLoadingPage() const { return loading_; }

signals:
    void didStartLoad();
    void didFinishLoad();
    void didFailLoad(const QString& error);

private:
    friend class WebPage;
    bool decideNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame);
    void handOnDownload(const QUrl& url, const QString& suggestedName);
    void loadingChanged(const QWebEngineLoadingInfo& info);
    void fitToWidth();

    WebPage* page_;
    Decision decision_;
    DownloadHandler downloads_;
    bool scalesPageToFit_ = false;
    bool loading_ = false;
    // Main-frame addresses refused by the decision: the engine reports each as a failed load,
    // which the owner must not see.
    QSet<QUrl> refused_;
};

}  // namespace oa

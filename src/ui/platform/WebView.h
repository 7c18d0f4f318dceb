// WebView: a web page inside a screen, the way the phone's web view behaves: it reports start,
// end and failure of each page load, lets its owner refuse any navigation (the server's pages
// signal the client through links of their own schemes), can scale wide pages to its width,
// and hands downloads to its owner instead of saving them. The engine's page lives in the web
// engine module, loaded with the first view; without the module every load fails with
// kWebEngineMissing.
#pragma once

#include <QColor>
#include <QSet>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "ui/platform/WebEngineBackend.h"

namespace oa {

// The failure every load of a view reports when the web engine module could not be loaded.
inline constexpr const char* kWebEngineMissing = "网页组件无法加载";

class WebView : public QWidget, private WebPageClient {
    Q_OBJECT
public:
    using NavigationType = WebNavigationType;

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
    // The page's address now (empty before the first load).
    QUrl url() const;
    // Runs `script` in the page; `done` gets its value later, unless the view is gone first.
    void runJavaScript(const QString& script, std::function<void(const QVariant&)> done = {});

    // The page's zoom (1 until a wide page was fitted to the width).
    double zoomFactor() const;
    // The widget that takes the page's keys and mouse clicks (the view itself without engine).
    QWidget* inputWidget();

    // Whether a page load that the owner has been told of is under way.
    bool isLoadingPage() const { return loading_; }
    // Whether the engine's page exists (false when the module could not be loaded).
    bool hasEngine() const { return page_ != nullptr; }

signals:
    void didStartLoad();
    void didFinishLoad();
    void didFailLoad(const QString& error);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool decideNavigation(const QUrl& url, NavigationType type, bool isMainFrame) override;
    bool allowRequest(const QUrl& url) override;
    void downloadRequested(const QUrl& url, const QString& suggestedName) override;
    void loadingChanged(WebLoadStatus status, const QUrl& url, const QString& error) override;
    bool acceptCertificate(const QUrl& url, const QByteArray& der, bool overridable,
                           const QString& description) override;
    void fitToWidth();
    // Loads `url` once its server, when pinned, presented its pin; else reports the load failed.
    void loadChecked(const QUrl& url);

    std::unique_ptr<WebEnginePage> page_;
    Decision decision_;
    DownloadHandler downloads_;
    bool scalesPageToFit_ = false;
    bool loading_ = false;
    QUrl requested_;  // the last address asked for, the view's url() without an engine
    // Main-frame addresses refused by the decision: the engine reports each as a failed load,
    // which the owner must not see.
    QSet<QUrl> refused_;
    // Of those, the links to a pinned server that load once it has been checked.
    QSet<QUrl> recheck_;
    // Bumped by each load, so that the check of an earlier one loads nothing.
    unsigned loadGeneration_ = 0;
};

}  // namespace oa

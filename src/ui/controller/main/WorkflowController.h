// WorkflowController: the server's workflow pages over the whole window, presented over the main
// index without a navigation bar. The pages close it themselves through a "backtomain:" link; a
// page that cannot load offers to try again or to go back, and Esc closes it as well.
#pragma once

#include <QPointer>
#include <string>

#include "ui/kit/ViewController.h"
#include "ui/platform/WebView.h"

namespace oa {

class WorkflowController : public ViewController {
    Q_OBJECT
public:
    explicit WorkflowController(QObject* parent = nullptr);

    // "<oa>/mobile/workflow/?P=<session id>" of the current session.
    static std::string workflowAddress();
    // A link whose text before its first ":" is exactly "backtomain".
    static bool isBackToMainLink(const std::string& url);

    // The page's decision on a link: "backtomain:" closes the page (once the engine is done
    // with the link) and is refused; everything else is followed inside the page.
    bool shouldStartLoadWithRequest(const std::string& url);

    // Closes the page.
    void backToMain();
    // Loads the workflow address again ("重新加载").
    void reload();

    WebView* webView() const { return webView_; }
    // The offer shown after a failed load: "重新加载" and "返回主界面".
    QWidget* failurePanel() const { return failurePanel_; }

signals:
    // The page finished loading, or failed to (with the failure panel up).
    void pageFinished();
    void pageFailed();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    QWidget* makeFailurePanel(QWidget* parent);
    void loadStarted();
    void loadFinished();
    void loadFailed();

    QPointer<WebView> webView_;
    QPointer<QWidget> failurePanel_;
    bool closing_ = false;
};

}  // namespace oa

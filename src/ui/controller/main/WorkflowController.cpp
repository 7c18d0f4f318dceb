// WorkflowController: the workflow page, its loading feedback and its ways back.
#include "ui/controller/main/WorkflowController.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "core/session/GlobalVar.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/platform/WebView.h"

namespace oa {

namespace {

QPushButton* panelButton(const QString& title, const QString& name) {
    auto* button = new QPushButton(title);
    button->setObjectName(name);
    button->setFont(systemFont(15));
    button->setMinimumHeight(44);
    return button;
}

}  // namespace

WorkflowController::WorkflowController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("工作流"));
}

std::string WorkflowController::workflowAddress() {
    const auto& session = GlobalVar::getInstance_global();
    return session.oa().value_or("") + "/mobile/workflow/?P=" + session.session_id().value_or("");
}

bool WorkflowController::isBackToMainLink(const std::string& url) {
    const auto colon = url.find(':');
    return colon != std::string::npos && url.compare(0, colon, "backtomain") == 0;
}

bool WorkflowController::shouldStartLoadWithRequest(const std::string& url) {
    if (!isBackToMainLink(url)) {
        return true;
    }
    // Closing deletes the page, which must not happen inside its own navigation.
    QTimer::singleShot(0, this, &WorkflowController::backToMain);
    return false;
}

void WorkflowController::backToMain() {
    if (closing_) {
        return;
    }
    closing_ = true;
    dismissViewController(true);
}

void WorkflowController::reload() {
    if (!webView_) {
        return;
    }
    failurePanel_->hide();
    webView_->loadRequest(QUrl(QString::fromStdString(workflowAddress())));
}

void WorkflowController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("workflowPage"));
    auto* layout = new QGridLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    webView_ = new WebView;
    webView_->setObjectName(QStringLiteral("workflowWebView"));
    const QPointer<WorkflowController> guard(this);
    webView_->setShouldStartLoadWithRequest(
        [guard](const std::string& url, WebView::NavigationType) {
            return !guard || guard->shouldStartLoadWithRequest(url);
        });
    connect(webView_, &WebView::didStartLoad, this, &WorkflowController::loadStarted);
    connect(webView_, &WebView::didFinishLoad, this, &WorkflowController::loadFinished);
    connect(webView_, &WebView::didFailLoad, this, &WorkflowController::loadFailed);
    layout->addWidget(webView_, 0, 0);

    failurePanel_ = makeFailurePanel(view);
    layout->addWidget(failurePanel_, 0, 0);
    failurePanel_->hide();

    // The page has no bar and no button of the client's; Esc is the desktop's way out.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), view);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &WorkflowController::backToMain);

    setView(view);
    webView_->loadRequest(QUrl(QString::fromStdString(workflowAddress())));
}

QWidget* WorkflowController::makeFailurePanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("workflowFailure"));
    panel->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(40, 0, 40, 0);
    layout->setSpacing(16);
    layout->addStretch();
    auto* text = new QLabel(QStringLiteral("加载失败！"));
    text->setAlignment(Qt::AlignCenter);
    text->setFont(systemFont(17));
    layout->addWidget(text);
    auto* retry = panelButton(QStringLiteral("重新加载"), QStringLiteral("reload"));
    connect(retry, &QPushButton::clicked, this, &WorkflowController::reload);
    layout->addWidget(retry);
    auto* back = panelButton(QStringLiteral("返回主界面"), QStringLiteral("backToMain"));
    connect(back, &QPushButton::clicked, this, &WorkflowController::backToMain);
    layout->addWidget(back);
    layout->addStretch();
    return panel;
}

void WorkflowController::loadStarted() {
    failurePanel_->hide();
    ProgressHUD::showWithStatus(QStringLiteral("正在加载..."));
}

void WorkflowController::loadFinished() {
    ProgressHUD::dismiss();
    emit pageFinished();
}

void WorkflowController::loadFailed() {
    ProgressHUD::dismissWithError(QStringLiteral("加载失败！"));
    failurePanel_->show();
    failurePanel_->raise();
    emit pageFailed();
}

void WorkflowController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(true, animated);
    }
}

void WorkflowController::viewWillDisappear(bool) {
    ProgressHUD::dismiss();
}

}  // namespace oa

// WebDetailView: read-page addresses, the link rule and the loading feedback.
#include "ui/controller/detail/WebDetailView.h"

#include <QLabel>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "core/protocol/DetailRecords.h"
#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/ProgressHUD.h"

namespace oa {

namespace {

// The page and the name of the item id of each kind.
struct ReadPage {
    const char* page;
    const char* idName;
};

ReadPage readPage(WebDetailView::Kind kind) {
    switch (kind) {
        case WebDetailView::Kind::Email:
            return {"/mobile/email/read.php", "EMAIL_ID"};
        case WebDetailView::Kind::Notify:
            return {"/mobile/notify/read.php", "NOTIFY_ID"};
        case WebDetailView::Kind::News:
            return {"/mobile/news/read.php", "NEWS_ID"};
        case WebDetailView::Kind::Diary:
            return {"/mobile/diary/read.php", "DIA_ID"};
        case WebDetailView::Kind::File:
            break;
    }
    return {"/mobile/file_folder/read.php", "CONTENT_ID"};
}

// The q_id of `record` when it is a `Record`; absent otherwise.
template <class Record>
Text idOf(const std::shared_ptr<BaseVO>& record) {
    if (auto typed = std::dynamic_pointer_cast<Record>(record)) {
        return typed->q_id;
    }
    return std::nullopt;
}

}  // namespace

WebDetailView::WebDetailView(Kind kind, QWidget* parent) : DetailView(parent), kind_(kind) {
    if (kind_ != Kind::Email) {
        setOtherBackground();
    }
}

std::optional<std::string> WebDetailView::pageAddress(Kind kind,
                                                      const std::shared_ptr<BaseVO>& listRecord,
                                                      const std::shared_ptr<BaseVO>& detail) {
    Text id;
    switch (kind) {
        case Kind::Email:
            id = idOf<EmailVO>(listRecord);
            break;
        case Kind::Notify:
            id = idOf<NotifyVO>(listRecord);
            break;
        case Kind::News:
            id = idOf<NewsVO>(listRecord);
            break;
        case Kind::Diary:
            if (!std::dynamic_pointer_cast<DiaryDetailVO>(detail)) {
                return std::nullopt;
            }
            id = idOf<DiaryVO>(listRecord);
            break;
        case Kind::File:
            if (!std::dynamic_pointer_cast<FileDetailVO>(detail)) {
                return std::nullopt;
            }
            id = detail->q_id;
            break;
    }
    const auto& session = GlobalVar::getInstance_global();
    const ReadPage page = readPage(kind);
    return session.oa().value_or("") + page.page + "?P=" + session.session_id().value_or("") + "&" +
           page.idName + "=" + id.value_or("");
}

bool WebDetailView::shouldStartLoadWithRequest(const std::string& url) {
    const LinkAction action =
        linkAction(url, GlobalVar::getInstance_global().oa().value_or(std::string()));
    if (action.type == LinkAction::Type::Load) {
        return true;
    }
    if (action.type == LinkAction::Type::OpenAttachment) {
        // The viewer is pushed from the event loop, not inside the engine's navigation.
        const QPointer<WebDetailView> guard(this);
        QTimer::singleShot(0, this, [guard, action] {
            if (guard) {
                guard->readAttachment(action.category, action.address);
            }
        });
    }
    return false;
}

void WebDetailView::createView(const std::shared_ptr<BaseVO>& detail) {
    const auto address = pageAddress(kind_, previousRecord(), detail);
    if (!address) {
        return;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    webView_ = new WebView(this);
    webView_->setObjectName(QStringLiteral("detailWebView"));
    webView_->setBackgroundColor(QColor(251, 230, 133));
    webView_->setScalesPageToFit(true);
    const QPointer<WebDetailView> guard(this);
    webView_->setShouldStartLoadWithRequest(
        [guard](const std::string& url, WebView::NavigationType) {
            return !guard || guard->shouldStartLoadWithRequest(url);
        });
    connect(webView_, &WebView::didStartLoad, this, &WebDetailView::loadStarted);
    connect(webView_, &WebView::didFinishLoad, this, &WebDetailView::loadFinished);
    connect(webView_, &WebView::didFailLoad, this, &WebDetailView::loadFailed);
    layout->addWidget(webView_);
    webView_->loadRequest(QUrl(QString::fromStdString(*address)));
}

void WebDetailView::showDetailFailure() {
    ProgressHUD::showErrorWithStatus(QStringLiteral("加载失败！"));
    showFailureText();
}

void WebDetailView::showFailureText() {
    if (failureLabel_) {
        return;
    }
    auto* label = new QLabel(QStringLiteral("加载失败！"), this);
    label->setObjectName(QStringLiteral("detailFailure"));
    label->setFont(systemFont(17));
    label->setAlignment(Qt::AlignCenter);
    if (!layout()) {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
    }
    layout()->addWidget(label);
    label->show();
    failureLabel_ = label;
}

void WebDetailView::loadStarted() {
    ProgressHUD::showWithStatus(QStringLiteral("正在加载..."));
}

void WebDetailView::loadFinished() {
    ProgressHUD::dismiss();
    emit pageFinished();
}

void WebDetailView::loadFailed() {
    ProgressHUD::dismissWithError(QStringLiteral("加载失败！"));
    // What the engine or the server drew instead (an English error text) is not shown.
    if (webView_) {
        webView_->hide();
    }
    showFailureText();
    emit pageFailed();
}

}  // namespace oa

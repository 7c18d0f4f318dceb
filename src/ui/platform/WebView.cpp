// WebView: load reporting, navigation decisions, certificate decisions and fitting to width,
// over the engine module's page.
#include "ui/platform/WebView.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <string_view>

#include "core/platform/Log.h"
#include "core/transport/CertificatePins.h"
#include "ui/platform/PinnedHostCheck.h"
#include "ui/platform/WebEngine.h"

namespace oa {

namespace {

// How far out a wide page is zoomed at most, and how far in the engine allows.
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 1.0;

}  // namespace

WebView::WebView(QWidget* parent) : QWidget(parent) {
    if (WebEngineBackend* backend = webEngineBackend()) {
        page_ = backend->createPage(*this, this);
        QWidget* engine = page_->widget();
        engine->setGeometry(rect());
        setFocusProxy(engine);
        // The engine's input widget comes with the first page: watch for it.
        engine->installEventFilter(this);
        copySessionCookies();
    }
}

WebView::~WebView() {
    // The page goes first, while this view, which it reports to, still exists.
    decision_ = nullptr;
    downloads_ = nullptr;
    page_.reset();
}

void WebView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (page_) {
        page_->widget()->setGeometry(rect());
    }
}

bool WebView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            child->installEventFilter(this);
        }
    } else if (event->type() == QEvent::KeyPress) {
        // The engine takes every key, so Escape would never reach the screen around the page,
        // where it means "返回": hand it up from the view as if the page had ignored it.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && parentWidget()) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(),
                             key->isAutoRepeat());
            QCoreApplication::sendEvent(parentWidget(), &escape);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WebView::setBackgroundColor(const QColor& color) {
    if (page_) {
        page_->setBackgroundColor(color);
    }
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
}

void WebView::loadRequest(const QUrl& url) {
    requested_ = url;
    if (!page_) {
        // Reported from the event loop, as the engine reports its failures.
        const QPointer<WebView> guard(this);
        QTimer::singleShot(0, this, [guard] {
            if (guard) {
                emit guard->didStartLoad();
                emit guard->didFailLoad(QString::fromUtf8(kWebEngineMissing));
            }
        });
        return;
    }
    loadChecked(url);
}

void WebView::loadChecked(const QUrl& url) {
    const unsigned generation = ++loadGeneration_;
    const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
    if (PinnedHostCheck::shared().verdict(address) == PinnedHostCheck::Verdict::Unpinned) {
        copySessionCookies();
        page_->load(url);
        return;
    }
    // A pinned server is checked before every load the owner asks for, not only the first.
    const QPointer<WebView> guard(this);
    PinnedHostCheck::shared().check(
        address, [guard, generation, url](bool ok, const std::string& why) {
            if (!guard || generation != guard->loadGeneration_ || !guard->page_) {
                return;
            }
            if (ok) {
                copySessionCookies();
                guard->page_->load(url);
                return;
            }
            emit guard->didStartLoad();
            emit guard->didFailLoad(QString::fromStdString(why));
        });
}

QUrl WebView::url() const {
    return page_ ? page_->url() : requested_;
}

double WebView::zoomFactor() const {
    return page_ ? page_->zoomFactor() : 1.0;
}

QWidget* WebView::inputWidget() {
    QWidget* target = this;
    while (target->focusProxy()) {
        target = target->focusProxy();
    }
    return target;
}

void WebView::runJavaScript(const QString& script, std::function<void(const QVariant&)> done) {
    if (!page_) {
        return;
    }
    const QPointer<WebView> guard(this);
    page_->runJavaScript(script, [guard, done = std::move(done)](const QVariant& value) {
        if (guard && done) {
            done(value);
        }
    });
}

bool WebView::decideNavigation(const QUrl& url, NavigationType type, bool isMainFrame) {
    const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
    const bool allowed = !decision_ || decision_(address, type);
    if (allowed &&
        PinnedHostCheck::shared().verdict(address) == PinnedHostCheck::Verdict::Unchecked) {
        // A link to a pinned server not checked yet: checked, then loaded afresh once the engine
        // reported the refused navigation.
        if (isMainFrame) {
            refused_.insert(url);
            recheck_.insert(url);
        }
        return false;
    }
    if (!allowed && isMainFrame) {
        refused_.insert(url);
    }
    return allowed;
}

bool WebView::allowRequest(const QUrl& url) {
    const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
    if (PinnedHostCheck::shared().verdict(address) != PinnedHostCheck::Verdict::Unchecked) {
        return true;
    }
    log("web view blocked a request to an unchecked pinned server: " + address);
    return false;
}

void WebView::downloadRequested(const QUrl& url, const QString& suggestedName) {
    if (downloads_) {
        downloads_(url, suggestedName);
    }
}

bool WebView::acceptCertificate(const QUrl& url, const QByteArray& der, bool overridable,
                                const QString& description) {
    // Accepted only from a server pinned with this certificate's key, as the transport does.
    const std::string address = url.toString().toStdString();
    if (overridable &&
        CertificatePins::shared().acceptsPinned(
            address, std::string_view(der.constData(), static_cast<std::size_t>(der.size())))) {
        return true;
    }
    log("web view refused the certificate of " + address + ": " + description.toStdString());
    return false;
}

void WebView::loadingChanged(WebLoadStatus status, const QUrl& url, const QString& error) {
    if (refused_.contains(url)) {
        if (status != WebLoadStatus::Started) {
            refused_.remove(url);
            if (recheck_.remove(url)) {
                loadChecked(url);
            }
        }
        return;
    }
    switch (status) {
        case WebLoadStatus::Started:
            loading_ = true;
            emit didStartLoad();
            break;
        case WebLoadStatus::Succeeded:
            loading_ = false;
            if (scalesPageToFit_) {
                fitToWidth();
            }
            emit didFinishLoad();
            break;
        case WebLoadStatus::Stopped:
        case WebLoadStatus::Failed:
            if (!loading_) {
                break;
            }
            loading_ = false;
            // Stopped: cut short, or turned into a download; no failure to show.
            if (status == WebLoadStatus::Stopped) {
                emit didFinishLoad();
            } else {
                emit didFailLoad(error);
            }
            break;
    }
}

void WebView::fitToWidth() {
    runJavaScript(QStringLiteral("Math.max(document.documentElement.scrollWidth,"
                                 " document.body ? document.body.scrollWidth : 0)"),
                  [this](const QVariant& result) {
                      const double contentWidth = result.toDouble();
                      if (contentWidth <= 0 || width() <= 0 || !page_) {
                          return;
                      }
                      page_->setZoomFactor(std::clamp(width() / contentWidth, kMinZoom, kMaxZoom));
                  });
}

}  // namespace oa

// AttachmentViewController: the web page, the download and the pages that show what arrived.
#include "ui/controller/main/AttachmentViewController.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/transport/ASIHTTPRequest.h"
#include "ui/controller/main/AttachmentFiles.h"
#include "ui/controller/main/AttachmentStage.h"
#include "ui/controller/main/PictureGestures.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/ColorFromHexRGB.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/ScaledImageReader.h"
#include "ui/kit/StockDialogs.h"
#include "ui/platform/PdfBackend.h"
#include "ui/platform/WebView.h"

namespace oa {

namespace {

const QString kLoading = QStringLiteral("正在加载...");

}  // namespace

AttachmentViewController::AttachmentViewController(QObject* parent) : ViewController(parent) {
    setCustomBackButton();
}

AttachmentViewController::~AttachmentViewController() {
    cancelDownload();
    if (!downloadedFile_.isEmpty()) {
        QFile::remove(downloadedFile_);
    }
}

void AttachmentViewController::loadView() {
    auto* root = new QWidget;
    root->setAutoFillBackground(true);
    if (attachmentCategory_ != 0 ||
        AttachmentFiles::isFileDownload(QString::fromStdString(attachmentURL_))) {
        // The picture's background from the start of the download.
        QPalette palette = root->palette();
        palette.setColor(QPalette::Window, colorFromHexRGB(u"EDEDED"));
        root->setPalette(palette);
    }
    pages_ = new QStackedLayout(root);
    pages_->setContentsMargins(0, 0, 0, 0);
    setView(root);
}

void AttachmentViewController::viewDidLoad() {
    if (attachmentCategory_ == 0 &&
        !AttachmentFiles::isFileDownload(QString::fromStdString(attachmentURL_))) {
        makeWebView();
    } else {
        downLoadImage(attachmentURL_);
    }
}

void AttachmentViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
    offerSave();
}

void AttachmentViewController::offerSave() {
    // "保存" only while a picture is there to be saved.
    const bool offered = attachmentCategory_ == 1 && content_ == Content::Picture;
    if (offered && !saveButton_) {
        saveButton_ = setRightBarButton(QStringLiteral("保存"), [this] { saveToPhtoto(); });
    } else if (!offered && saveButton_) {
        setRightBarButtonItem(nullptr);
        saveButton_ = nullptr;
    }
}

void AttachmentViewController::viewWillDisappear(bool animated) {
    Q_UNUSED(animated);
    ProgressHUD::dismiss();
    // Popped: nothing of the download may reach the screen any more.
    NavigationController* nav = navigationController();
    if (!nav || !nav->viewControllers().contains(this)) {
        cancelDownload();
    }
}

void AttachmentViewController::showPage(QWidget* page) {
    view();
    if (pages_->indexOf(page) < 0) {
        pages_->addWidget(page);
    }
    pages_->setCurrentWidget(page);
}

void AttachmentViewController::setContent(Content content) {
    if (content_ != content) {
        content_ = content;
        offerSave();
        emit contentChanged(content);
    }
}

// --- the web page

void AttachmentViewController::makeWebView() {
    webView_ = new WebView;
    webView_->setBackgroundColor(QColor(251, 230, 133));
    webView_->setScalesPageToFit(true);
    connect(webView_, &WebView::didStartLoad, this, [] { ProgressHUD::showWithStatus(kLoading); });
    connect(webView_, &WebView::didFinishLoad, this, [this] {
        if (!request_) {
            ProgressHUD::dismiss();
        }
    });
    connect(webView_, &WebView::didFailLoad, this,
            [] { ProgressHUD::dismissWithError(QStringLiteral("加载失败！")); });
    QPointer<AttachmentViewController> guard(this);
    webView_->setDownloadHandler([guard](const QUrl& url, const QString& suggestedName) {
        if (guard) {
            guard->downloadFromPage(url, suggestedName);
        }
    });
    showPage(webView_);
    setContent(Content::Web);
    webView_->loadRequest(QUrl(QString::fromStdString(attachmentURL_)));
}

void AttachmentViewController::downloadFromPage(const QUrl& url, const QString& suggestedName) {
    const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
    downLoadImage(address);
    // The page names the file as it likes ("../../x.sh"): only a plain name is proposed.
    if (const QString name = AttachmentFiles::safeName(suggestedName); !name.isEmpty()) {
        attachmentName_ = name;
    }
}

// --- the download

void AttachmentViewController::downLoadImage(const std::string& address) {
    cancelDownload();
    attachmentName_ = AttachmentFiles::attachmentName(QString::fromStdString(address));
    const QString path = AttachmentFiles::newDownloadPath(attachmentName_);
    if (path.isEmpty()) {
        log("attachment: no tmp folder for the download");
        downloadFailed();
        return;
    }
    downloadAddress_ = address;
    request_ = ASIHTTPRequest::requestWithURL(address);
    request_->setRequestMethod("GET");
    request_->setTag(kDownloadTag);
    request_->setDownloadDestinationPath(path.toStdString());
    request_->setDelegate(this);
    setContent(Content::Loading);
    request_->startAsynchronous();
}

void AttachmentViewController::cancelDownload() {
    if (request_) {
        // The request removes its ".part" itself as it stops.
        request_->clearDelegatesAndCancel();
        request_.reset();
    }
}

void AttachmentViewController::requestStarted(ASIHTTPRequest& request) {
    Q_UNUSED(request);
    ProgressHUD::showWithStatus(kLoading);
}

void AttachmentViewController::requestReceivedBytes(ASIHTTPRequest& request, std::uint64_t received,
                                                    std::optional<std::uint64_t> expected) {
    Q_UNUSED(request);
    if (expected && *expected > 0) {
        ProgressHUD::showProgress(static_cast<double>(received) / static_cast<double>(*expected),
                                  kLoading);
    }
    emit downloadProgress(static_cast<qint64>(received),
                          expected ? static_cast<qint64>(*expected) : -1);
}

void AttachmentViewController::requestFinished(ASIHTTPRequest& request) {
    const int status = request.responseStatusCode();
    const QString path = QString::fromStdString(request.downloadDestinationPath());
    request_.reset();
    // An error page (404, 500, ...) is held in memory and never reaches the file.
    if (status < 200 || status > 299 || !QFileInfo(path).isFile()) {
        log("attachment: download answered " + std::to_string(status));
        QFile::remove(path);
        downloadFailed();
        return;
    }
    ProgressHUD::dismiss();
    downloadedFile_ = path;
    showDownloadedFile(path);
}

void AttachmentViewController::requestFailed(ASIHTTPRequest& request) {
    if (request.error()) {
        log("attachment: download failed: " + request.error()->description);
    }
    request_.reset();
    downloadFailed();
}

void AttachmentViewController::downloadFailed() {
    ProgressHUD::showErrorWithStatus(QStringLiteral("下载失败"));
    if (!failedPage_) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->addStretch(1);
        auto* message = new QLabel(QStringLiteral("下载失败"), page);
        message->setAlignment(Qt::AlignCenter);
        layout->addWidget(message);
        retryButton_ = new QPushButton(QStringLiteral("重新下载"), page);
        retryButton_->setObjectName(QStringLiteral("retry"));
        connect(retryButton_, &QPushButton::clicked, this, [this] {
            if (!downloadAddress_.empty()) {
                downLoadImage(downloadAddress_);
            }
        });
        layout->addWidget(retryButton_, 0, Qt::AlignHCenter);
        layout->addStretch(2);
        failedPage_ = page;
    }
    showPage(failedPage_);
    setContent(Content::Failed);
}

// --- what arrived

void AttachmentViewController::showDownloadedFile(const QString& path) {
    // Decoded off the main thread, at no more than the picture can be pinched up to.
    const qreal dpr = view()->devicePixelRatioF();
    const QSize box(static_cast<int>(std::ceil(PictureGestures::kMaxWidth * dpr)), QWIDGETSIZE_MAX);
    const QPointer<AttachmentViewController> guard(this);
    runInBackground([guard, path, box] {
        ScaledImageReader::Picture picture = ScaledImageReader::read(path, box);
        std::optional<QString> text;
        if (picture.image.isNull()) {
            text = AttachmentFiles::readText(path);
        }
        MainLoop::main().post([guard, path, picture = std::move(picture), text = std::move(text)] {
            if (!guard || guard->downloadedFile_ != path) {
                return;
            }
            if (guard->showPicture(picture) || guard->showText(text) || guard->showPdf(path)) {
                return;
            }
            guard->showUnviewable();
        });
    });
}

bool AttachmentViewController::showPicture(const ScaledImageReader::Picture& picture) {
    if (picture.image.isNull()) {
        if (picture.sourceSize.isValid()) {
            log("attachment: picture not shown: " + picture.error.toStdString());
        }
        return false;
    }
    if (!stage_) {
        stage_ = new AttachmentStage;
    }
    showPage(stage_);
    stage_->resize(view()->size());
    // Placed as the picture at its own size would be, each of its pixels a point.
    const QSizeF decoded(picture.image.size());
    const double scale = std::max(picture.sourceSize.width(), picture.sourceSize.height()) /
                         std::max(decoded.width(), decoded.height());
    stage_->showPicture(picture.image, decoded * std::max(scale, 1.0));
    setContent(Content::Picture);
    return true;
}

bool AttachmentViewController::showPdf(const QString& path) {
    PdfBackend* pdf = pdfBackend();
    const int widthPixels =
        static_cast<int>(std::ceil(view()->width() * view()->devicePixelRatioF()));
    QWidget* view = pdf ? pdf->createView(path, widthPixels) : nullptr;
    if (!view) {
        return false;
    }
    pdfView_ = view;
    showPage(view);
    setContent(Content::Pdf);
    return true;
}

bool AttachmentViewController::showText(const std::optional<QString>& text) {
    if (!text) {
        return false;
    }
    auto* page = new QPlainTextEdit;
    page->setObjectName(QStringLiteral("text"));
    page->setReadOnly(true);
    page->setPlainText(*text);
    textView_ = page;
    showPage(page);
    setTitle(attachmentName_);
    saveAsButton_ = setRightBarButton(QStringLiteral("另存为…"), [this] { saveAs(); });
    setContent(Content::PlainText);
    return true;
}

int AttachmentViewController::pdfPageCount() const {
    PdfBackend* pdf = pdfView_ ? pdfBackend() : nullptr;
    return pdf ? pdf->pageCount(pdfView_) : 0;
}

void AttachmentViewController::showUnviewable() {
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, colorFromHexRGB(u"EDEDED"));
    page->setPalette(palette);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    auto* message = new QLabel(QStringLiteral("无法预览此文件"), page);
    message->setAlignment(Qt::AlignCenter);
    layout->addWidget(message);
    auto* name = new QLabel(attachmentName_, page);
    name->setAlignment(Qt::AlignCenter);
    name->setWordWrap(true);
    layout->addWidget(name);
    saveAsButton_ = new QPushButton(QStringLiteral("另存为…"), page);
    connect(saveAsButton_, &QPushButton::clicked, this, [this] { saveAs(); });
    layout->addWidget(saveAsButton_, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    unviewable_ = page;
    showPage(page);
    setContent(Content::Unviewable);
}

// --- saving

void AttachmentViewController::saveToPhtoto() {
    if (content_ != Content::Picture || downloadedFile_.isEmpty()) {
        ProgressHUD::dismissWithError(QStringLiteral("保存失败！"));
        return;
    }
    QString name = AttachmentFiles::safeName(attachmentName_);
    if (name.isEmpty()) {
        name = QStringLiteral("IMG_%1.%2")
                   .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")),
                        QFileInfo(downloadedFile_).suffix());
    }
    const QString target = AttachmentFiles::freePath(AttachmentFiles::albumFolder(), name);
    if (AttachmentFiles::copyComplete(downloadedFile_, target)) {
        ProgressHUD::dismissWithSuccess(QStringLiteral("已保存到相册！"));
    } else {
        log("attachment: could not save to " + target.toStdString());
        ProgressHUD::dismissWithError(QStringLiteral("保存失败！"));
    }
}

QString AttachmentViewController::askSavePath(const QString& suggested) {
    StockDialogs::useChinese();
    QFileDialog dialog(view(), QStringLiteral("另存为…"), QDir::home().filePath(suggested));
    dialog.setObjectName(QStringLiteral("saveAs"));
    // The same dialog as "相册", also where the desktop offers one of its own.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    StockDialogs::fitIntoWindow(&dialog, view());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

void AttachmentViewController::saveAs() {
    if (downloadedFile_.isEmpty()) {
        ProgressHUD::dismissWithError(QStringLiteral("保存失败！"));
        return;
    }
    const QString named = AttachmentFiles::safeName(attachmentName_);
    const QString suggested = named.isEmpty() ? QFileInfo(downloadedFile_).fileName() : named;
    const QString target = saveAsPath_ ? saveAsPath_(suggested) : askSavePath(suggested);
    if (target.isEmpty()) {
        return;
    }
    if (AttachmentFiles::copyComplete(downloadedFile_, target)) {
        ProgressHUD::dismissWithSuccess(QStringLiteral("已保存！"));
    } else {
        ProgressHUD::dismissWithError(QStringLiteral("保存失败！"));
    }
}

}  // namespace oa

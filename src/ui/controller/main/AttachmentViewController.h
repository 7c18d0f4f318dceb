// AttachmentViewController: one attachment or server page, given by its absolute address.
// Category 0 loads the address in a web view (a file the page hands over as a download is
// fetched and shown like the others); any other category downloads the file itself, with its
// progress, into the app's tmp/ and shows a picture (fitted, dragged and pinched), a PDF, a text
// file under its name with "另存为…", or "无法预览此文件" with "另存为…"; a failed download says
// "下载失败" and offers "重新下载". The server's attachment files are downloaded so in category 0
// too (all but web pages).
// Category 1 offers "保存" to the picture album while a picture shows. Leaving the screen
// cancels the download and removes its files.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "core/transport/ASIHTTPRequestDelegate.h"
#include "ui/controller/main/AttachmentStage.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/ScaledImageReader.h"
#include "ui/kit/ViewController.h"
#include "ui/platform/WebView.h"

class QPushButton;
class QStackedLayout;
class QUrl;

namespace oa {

class ASIHTTPRequest;

class AttachmentViewController : public ViewController, public ASIHTTPRequestDelegate {
    Q_OBJECT
public:
    // The tag of the viewer's download request.
    static constexpr int kDownloadTag = 1023;

    enum class Content { Nothing, Loading, Web, Picture, Pdf, PlainText, Unviewable, Failed };
    Q_ENUM(Content)

    explicit AttachmentViewController(QObject* parent = nullptr);
    ~AttachmentViewController() override;

    int attachmentCategory() const { return attachmentCategory_; }
    void setAttachmentCategory(int category) { attachmentCategory_ = category; }
    const std::string& attachmentURL() const { return attachmentURL_; }
    void setAttachmentURL(const std::string& address) { attachmentURL_ = address; }

    // Where "另存为…" writes, asked with the proposed file name; an empty answer cancels. A file
    // dialog (Qt's own, in Chinese, within the window) unless set (tests answer with a path).
    using SaveAsPathProvider = std::function<QString(const QString& suggestedName)>;
    void setSaveAsPathProvider(SaveAsPathProvider provider) { saveAsPath_ = std::move(provider); }

    Content content() const { return content_; }
    // The pages; each exists once shown.
    WebView* webView() const { return webView_; }
    AttachmentStage* stage() const { return stage_; }
    // The PDF module's view (a QAbstractScrollArea) of the document shown, and its pages.
    QWidget* pdfView() const { return pdfView_; }
    int pdfPageCount() const;
    QPushButton* saveAsButton() const { return saveAsButton_; }
    // "重新下载" on the page of a failed download.
    QPushButton* retryButton() const { return retryButton_; }
    // "保存"; null while there is no picture to save.
    BarButton* saveButton() const { return saveButton_; }
    // The download under way, if any.
    ASIHTTPRequest* downloadRequest() const { return request_.get(); }
    // The complete downloaded file while the screen shows it; empty before.
    QString downloadedFile() const { return downloadedFile_; }
    // The attachment's file name, as proposed for saving.
    QString attachmentName() const { return attachmentName_; }

    // Downloads `address` into tmp/ and shows what arrives.
    void downLoadImage(const std::string& address);
    // "保存": copies the picture into the album folder; "已保存到相册！" once written, else
    // "保存失败！".
    void saveToPhtoto();
    // "另存为…": copies the downloaded file where the user chooses; "已保存！" or "保存失败！".
    void saveAs();

    // ASIHTTPRequestDelegate, on the main thread.
    void requestStarted(ASIHTTPRequest& request) override;
    void requestFinished(ASIHTTPRequest& request) override;
    void requestFailed(ASIHTTPRequest& request) override;
    void requestReceivedBytes(ASIHTTPRequest& request, std::uint64_t received,
                              std::optional<std::uint64_t> expected) override;

signals:
    void contentChanged(oa::AttachmentViewController::Content content);
    // Body bytes of the download so far, and its length when the server gave it (else -1).
    void downloadProgress(qint64 received, qint64 expected);

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    void makeWebView();
    void downloadFromPage(const QUrl& url, const QString& suggestedName);
    // Shows the downloaded file: a picture, else a PDF, else the save-as page.
    void showDownloadedFile(const QString& path);
    bool showPicture(const ScaledImageReader::Picture& picture);
    bool showPdf(const QString& path);
    bool showText(const std::optional<QString>& text);
    void showUnviewable();
    void downloadFailed();
    void cancelDownload();
    void setContent(Content content);
    // The file dialog "另存为…" proposing `suggested` in the home folder; empty when cancelled.
    QString askSavePath(const QString& suggested);
    void offerSave();
    void showPage(QWidget* page);

    int attachmentCategory_ = 0;
    std::string attachmentURL_;
    SaveAsPathProvider saveAsPath_;

    Content content_ = Content::Nothing;
    QStackedLayout* pages_ = nullptr;
    QPointer<WebView> webView_;
    QPointer<AttachmentStage> stage_;
    QPointer<QWidget> pdfView_;
    QPointer<QWidget> textView_;
    QPointer<QWidget> unviewable_;
    QPointer<QPushButton> saveAsButton_;
    QPointer<QWidget> failedPage_;
    QPointer<QPushButton> retryButton_;
    QPointer<BarButton> saveButton_;

    // Main thread only.
    std::shared_ptr<ASIHTTPRequest> request_;
    QString downloadedFile_;
    std::string downloadAddress_;  // of the last download, for "重新下载"
    QString attachmentName_;
};

}  // namespace oa

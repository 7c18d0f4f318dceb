// WebDetailView: an e-mail, notice, news item, diary entry or file shown as the server's read
// page in a web view. Links of the form "message:<category>:<path>" in the page are attachments:
// they open the attachment viewer instead of loading.
#pragma once

#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "core/protocol/WebLinks.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/platform/WebView.h"

namespace oa {

class WebDetailView : public DetailView {
    Q_OBJECT
public:
    enum class Kind { Email, Notify, News, Diary, File };

    // What the page does with a link it wants to load.
    using LinkAction = oa::LinkAction;

    explicit WebDetailView(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }

    // The read page of the item: the server address, the module's read page and the query
    // "?P=<session>&<ID name>=<id>". The id comes from the list record (of the module's list
    // class), or for a file from its detail record. Absent when the page is not shown: a diary
    // without its diary detail, a file without its file detail.
    static std::optional<std::string> pageAddress(Kind kind,
                                                  const std::shared_ptr<BaseVO>& listRecord,
                                                  const std::shared_ptr<BaseVO>& detail);

    // The link rule. A link whose text before its first ":" is exactly "message" is an attachment
    // link "message:" + category character (position 8, 0 unless a digit) + one separator + the
    // path from position 10: the viewer opens `oa` + path and the page does not follow it. Such
    // a link shorter than 10 characters has no path: it is refused and opens nothing. Every
    // other link (also "message" without any ":") loads in the page.
    static LinkAction linkAction(const std::string& url, const std::string& server) {
        return oa::linkAction(url, server);
    }

    // Builds the page for the detail record (loading starts at once), or only the background
    // when the page is not shown.
    void createView(const std::shared_ptr<BaseVO>& detail) override;
    // Whether the page is made from the detail record (a diary, a file) rather than from the
    // list row alone.
    bool needsDetail() const { return kind_ == Kind::Diary || kind_ == Kind::File; }
    // In place of a page that needs its detail when that could not be fetched: "加载失败！"; the
    // same in place of a page that failed to load.
    void showDetailFailure();

    // The page's decision on a link (see linkAction); an attachment opens once the engine is
    // done with the link.
    bool shouldStartLoadWithRequest(const std::string& url);

    WebView* webView() const { return webView_; }
    // The text shown in place of a page that could not be had; null while there is none.
    QWidget* failureLabel() const { return failureLabel_; }

signals:
    void pageFinished();
    void pageFailed();

private:
    void loadStarted();
    void loadFinished();
    void loadFailed();
    void showFailureText();

    const Kind kind_;
    QPointer<WebView> webView_;
    QPointer<QWidget> failureLabel_;
};

}  // namespace oa

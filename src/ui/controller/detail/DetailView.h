// DetailView: the base of the detail views of the detail screen. A detail view draws one item
// from the record tapped in the list (its previous record) and the detail record fetched for it
// (createView), and asks its opener to show the attachments its page links to.
#pragma once

#include <QLabel>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "core/protocol/BaseVO.h"
#include "ui/controller/main/BaseView.h"

namespace oa {

class DetailView : public BaseView {
    Q_OBJECT
public:
    // Opens an attachment: its category (0: a page or document, 1: a picture that can be saved,
    // any other: a picture) and its absolute address.
    using AttachmentOpener = std::function<void(int category, const std::string& address)>;

    explicit DetailView(QWidget* parent = nullptr);

    // The list record the item was opened from; null when opened without one.
    const std::shared_ptr<BaseVO>& previousRecord() const { return previousRecord_; }
    void setPreviousRecord(std::shared_ptr<BaseVO> record) { previousRecord_ = std::move(record); }

    // The controller's handler for attachment links; none drops them.
    void setAttachmentOpener(AttachmentOpener opener) { opener_ = std::move(opener); }

    // What a lookup without a match says in place of its empty list.
    static QString nothingFoundText() { return QStringLiteral("没有找到相关信息"); }
    // The label saying so; null unless shown.
    QLabel* nothingFoundLabel() const { return nothingFound_; }

protected:
    void readAttachment(int category, const std::string& address) const;
    // Lays the pattern "otherbackground.png" behind the view.
    void setOtherBackground();
    // Says in the middle of the view, above what it holds, that nothing was found: an empty
    // list or forecast is otherwise a blank screen.
    void showNothingFound();
    void resizeEvent(QResizeEvent* event) override;

private:
    std::shared_ptr<BaseVO> previousRecord_;
    AttachmentOpener opener_;
    QPointer<QLabel> nothingFound_;
};

}  // namespace oa

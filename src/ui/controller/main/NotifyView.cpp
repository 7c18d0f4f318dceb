// NotifyView: a notice row.
#include "ui/controller/main/NotifyView.h"

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/RowLabel.h"

namespace oa {

void NotifyView::createView(const std::shared_ptr<BaseVO>& record) {
    clearView();
    auto notify = std::dynamic_pointer_cast<NotifyVO>(record);
    if (!notify) {
        return;
    }
    setQ_id(notify->q_id);
    setReadState(notify->read_flag);

    const QColor colour =
        hasText(notify->subject_color) ? colorFromRecordField(notify->subject_color) : darkGrey();
    RowLabel* subject = addLabel("subject", {15, 8, 205, 20}, 16, colour, notify->subject);
    // Sized to its text, but never past the 205 points it started with once it passes 200.
    const int fitting = subject->fittingWidth();
    subject->resize(fitting > 200 ? 205 : fitting, subject->height());
    if (notify->top == "1") {
        addImage(QStringLiteral("icontop"), {subject->width() + 20, 8, 0, 0});
    }

    fitLine({addLabel("from_name", {15, 35, 80, 20}, 12, grey(), notify->from_name),
             addLabel("send_time", {95, 35, 100, 20}, 12, grey(), notify->send_time)});
    addAttachmentMark(notify->has_attachment);
}

}  // namespace oa

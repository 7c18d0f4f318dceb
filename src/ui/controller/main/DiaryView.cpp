// DiaryView: a work diary row.
#include "ui/controller/main/DiaryView.h"

#include "core/protocol/ListRecords.h"

namespace oa {

void DiaryView::createView(const std::shared_ptr<BaseVO>& record) {
    clearView();
    auto diary = std::dynamic_pointer_cast<DiaryVO>(record);
    if (!diary) {
        return;
    }
    setQ_id(diary->q_id);
    // Diaries have no read state: the row stays transparent.
    addLabel("subject", {15, 8, kTextRight - 15, 20}, 16, Qt::black, diary->subject);
    addLabel("content", {15, 35, kTextRight - 15, 20}, 12, grey(), diary->content);
    addAttachmentMark(diary->has_attachment);
}

}  // namespace oa

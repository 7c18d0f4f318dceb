// EmailView: an e-mail row.
#include "ui/controller/main/EmailView.h"

#include <algorithm>

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/RowLabel.h"

namespace oa {

void EmailView::createView(const std::shared_ptr<BaseVO>& record) {
    clearView();
    auto email = std::dynamic_pointer_cast<EmailVO>(record);
    if (!email) {
        return;
    }
    setQ_id(email->q_id);
    setReadState(email->read_flag);

    RowLabel* subject = addLabel("subject", {15, 8, 205, 20}, 16, darkGrey(), email->subject);
    fitLine({addLabel("from_name", {15, 35, 80, 20}, 12, grey(), email->from_name),
             addLabel("send_time", {95, 35, 100, 20}, 12, grey(), email->send_time)});

    QString importance;
    QColor colour = darkGrey();
    if (email->important_desc == "1") {
        importance = QStringLiteral("重要");
        colour = QColor(255, 192, 151);
    } else if (email->important_desc == "2") {
        importance = QStringLiteral("非常重要");
        colour = QColor(255, 128, 128);
    }
    // At the end of the subject's line, before the attachment mark; the subject gives way.
    RowLabel* mark = addLabel("important_desc", {kTextRight, 8, 0, 20}, 16, colour, importance);
    mark->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int markWidth = mark->fittingWidth();
    mark->setGeometry(kTextRight - markWidth, 8, markWidth, 20);
    if (markWidth > 0) {
        subject->resize(std::min(subject->width(), mark->x() - kTextGap - subject->x()), 20);
    }
    addAttachmentMark(email->has_attachment);
}

}  // namespace oa

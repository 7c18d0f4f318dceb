// NewsView: a news row.
#include "ui/controller/main/NewsView.h"

#include "core/protocol/ListRecords.h"

namespace oa {

void NewsView::createView(const std::shared_ptr<BaseVO>& record) {
    clearView();
    auto news = std::dynamic_pointer_cast<NewsVO>(record);
    if (!news) {
        return;
    }
    setQ_id(news->q_id);
    setReadState(news->read_flag);

    const QColor colour =
        hasText(news->subject_color) ? colorFromRecordField(news->subject_color) : darkGrey();
    addLabel("subject", {15, 8, kTextRight - 15, 20}, 16, colour, news->subject);
    fitLine({addLabel("from_name", {15, 35, 80, 20}, 12, grey(), news->from_name),
             addLabel("send_time", {95, 35, 60, 20}, 12, grey(), news->send_time),
             addLabel("click_count", {155, 35, 100, 20}, 12, grey(),
                      QStringLiteral("点击次数：%1")
                          .arg(QString::fromStdString(news->click_count.value_or(""))))});
    addAttachmentMark(news->has_attachment);
}

}  // namespace oa

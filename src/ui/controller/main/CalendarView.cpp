// CalendarView: a schedule row.
#include "ui/controller/main/CalendarView.h"

#include "core/protocol/ListRecords.h"
#include "ui/controller/main/RowLabel.h"

namespace oa {

void CalendarView::createView(const std::shared_ptr<BaseVO>& record) {
    clearView();
    auto calendar = std::dynamic_pointer_cast<CalendarVO>(record);
    if (!calendar) {
        return;
    }
    setQ_id(calendar->q_id);

    addLabel("cal_time", {15, 8, 45, 20}, 16, darkGrey(), calendar->cal_time);
    addLabel("end_time", {60, 8, 100, 20}, 16, darkGrey(),
             QStringLiteral("—  %1").arg(QString::fromStdString(calendar->end_time.value_or(""))));

    RowLabel* content = addLabel("content", {15, 35, 200, 20}, 12, grey(), calendar->content);
    // Sized to its text, but no wider than 200 points.
    const int fitting = content->fittingWidth();
    content->resize(fitting >= 200 ? 200 : fitting, content->height());

    if (hasText(calendar->cal_level_color)) {
        const QColor colour = colorFromRecordField(calendar->cal_level_color);
        addLabel("cal_level_desc", {content->x() + content->width() + 10, 35, 80, 20}, 12, colour,
                 calendar->cal_level_desc);
    }
}

}  // namespace oa

// CalendarView: a schedule row.
#include "ui/controller/main/CalendarView.h"

#include <algorithm>

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
    // Entries of several days look alike by their times alone.
    if (const QString date = shownDate(calendar->cal_date, QDate::currentDate()); !date.isEmpty()) {
        RowLabel* day = addLabel("cal_date", {160, 8, 120, 20}, 14, grey(), date);
        day->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    RowLabel* content = addLabel("content", {15, 35, 200, 20}, 12, grey(), calendar->content);
    // Sized to its text, but no wider than 200 points.
    const int fitting = content->fittingWidth();
    content->resize(fitting >= 200 ? 200 : fitting, content->height());

    if (hasText(calendar->cal_level_color)) {
        const QColor colour = colorFromRecordField(calendar->cal_level_color);
        RowLabel* level =
            addLabel("cal_level_desc", {content->x() + content->width() + 10, 35, 80, 20}, 12,
                     colour, calendar->cal_level_desc);
        // No wider than its text, so that it stays clear of the chevron.
        level->resize(std::min(level->width(), level->fittingWidth()), level->height());
    }
}

QString CalendarView::shownDate(const Text& cal_date, const QDate& today) {
    if (!hasText(cal_date)) {
        return {};
    }
    const QString text = QString::fromStdString(*cal_date);
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid()) {
        return text;
    }
    if (date == today) {
        return {};
    }
    return date.toString(date.year() == today.year() ? QStringLiteral("MM-dd")
                                                     : QStringLiteral("yyyy-MM-dd"));
}

}  // namespace oa

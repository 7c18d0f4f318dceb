// CalendarView: the row of a schedule entry: start and end time and, for a day other than today,
// the date; the content below with the priority after it in the priority's colour.
#pragma once

#include <QDate>

#include "ui/controller/main/BaseView.h"

namespace oa {

class CalendarView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a CalendarVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;

    // The date shown for an entry of `cal_date` ("YYYY-MM-DD") seen on `today`: none for today's
    // or without a date, "MM-DD" within today's year, the whole date otherwise (also as sent
    // when it is no date).
    static QString shownDate(const Text& cal_date, const QDate& today);
};

}  // namespace oa

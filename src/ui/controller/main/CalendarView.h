// CalendarView: the row of a schedule entry: start and end time, the content below with the
// priority after it in the priority's colour.
#pragma once

#include "ui/controller/main/BaseView.h"

namespace oa {

class CalendarView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a CalendarVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;
};

}  // namespace oa

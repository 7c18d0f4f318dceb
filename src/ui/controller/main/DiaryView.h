// DiaryView: the row of a work diary: subject, the start of its content below, the attachment mark.
#pragma once

#include "ui/controller/main/BaseView.h"

namespace oa {

class DiaryView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a DiaryVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;
};

}  // namespace oa

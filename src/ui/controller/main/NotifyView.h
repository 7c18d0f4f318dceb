// NotifyView: the row of a notice (also of the workflow list): subject in its own colour with the
// pinned mark after it, sender and time below, the attachment mark.
#pragma once

#include "ui/controller/main/BaseView.h"

namespace oa {

class NotifyView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a NotifyVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;
};

}  // namespace oa

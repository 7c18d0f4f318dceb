// NewsView: the row of a news item: subject in its own colour, sender, time and the click count
// below, the attachment mark.
#pragma once

#include "ui/controller/main/BaseView.h"

namespace oa {

class NewsView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a NewsVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;
};

}  // namespace oa

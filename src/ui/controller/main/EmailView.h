// EmailView: the row of an e-mail: subject, sender and time, the importance in words and colour,
// the attachment mark; unread rows on the unread background.
#pragma once

#include "ui/controller/main/BaseView.h"

namespace oa {

class EmailView : public BaseView {
    Q_OBJECT
public:
    using BaseView::BaseView;

    // Draws a EmailVO; anything else leaves the row empty.
    void createView(const std::shared_ptr<BaseVO>& record) override;
};

}  // namespace oa

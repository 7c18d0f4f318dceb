// The supplier of the timeline's bubbles (the dialog).
#pragma once

#include "ui/controller/message/NSBubbleData.h"

namespace oa {

class UIBubbleTableView;

class UIBubbleTableViewDataSource {
public:
    virtual ~UIBubbleTableViewDataSource() = default;
    // How many bubbles there are.
    virtual int rowsForBubbleTable(UIBubbleTableView* tableView) = 0;
    // The bubble at `row`, 0 being the top. nullptr is a programming error.
    virtual NSBubbleDataPtr bubbleTableViewDataForRow(UIBubbleTableView* tableView, int row) = 0;
};

}  // namespace oa

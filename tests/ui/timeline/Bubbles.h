// A data source over a list of bubbles, for the timeline's tests and benchmark.
#pragma once

#include <QList>

#include "ui/controller/message/UIBubbleTableView.h"

namespace oa::test {

class Bubbles : public UIBubbleTableViewDataSource {
public:
    int rowsForBubbleTable(UIBubbleTableView*) override { return int(list.size()); }
    NSBubbleDataPtr bubbleTableViewDataForRow(UIBubbleTableView*, int row) override {
        ++requests;
        return list.at(row);
    }

    QList<NSBubbleDataPtr> list;
    int requests = 0;
};

}  // namespace oa::test

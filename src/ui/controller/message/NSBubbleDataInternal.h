// One row of the bubble timeline: the bubble, its date line and its measured size, worked out
// once per reload so that setting up a cell measures nothing.
#pragma once

#include <QSizeF>
#include <QString>

#include "ui/controller/message/NSBubbleData.h"

namespace oa {

struct NSBubbleDataInternal {
    NSBubbleDataPtr data;
    // The date line above the bubble; empty when the bubble has none.
    QString header;
    // Row height in points.
    qreal height = 0;
    // The measured size of the bubble's text (of the empty text for a voice bubble).
    QSizeF labelSize;
};

}  // namespace oa

// CheckBox: draws the picture of its state over its whole frame.
#include "ui/kit/CheckBox.h"

#include <QPainter>

#include "ui/kit/Images.h"

namespace oa {

CheckBox::CheckBox(const QString& offImage, const QString& onImage, QWidget* parent)
    : QAbstractButton(parent), offImage_(offImage), onImage_(onImage) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
}

void CheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), image(isChecked() ? onImage_ : offImage_));
}

}  // namespace oa

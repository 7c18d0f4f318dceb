// CheckBox: draws the picture of its state over its whole frame.
#include "ui/kit/CheckBox.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/kit/FocusRing.h"
#include "ui/kit/Images.h"

namespace oa {

CheckBox::CheckBox(const QString& offImage, const QString& onImage, QWidget* parent)
    : QAbstractButton(parent), offImage_(offImage), onImage_(onImage) {
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
}

void CheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), image(isChecked() ? onImage_ : offImage_));
    if (hasFocus()) {
        paintFocusRing(painter, rect(), 4);
    }
}

void CheckBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace oa

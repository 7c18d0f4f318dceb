// MyImageView: which of its two pictures the tab item shows.
#include "ui/controller/main/MyImageView.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/kit/AccessibleKit.h"
#include "ui/kit/FocusRing.h"

namespace oa {

MyImageView::MyImageView(QWidget* parent) : PictureView({}, Mode::Stretch, parent) {
    setCursor(Qt::PointingHandCursor);
    setAccessibleRole(this, QAccessible::PageTab);
    setFocusPolicy(Qt::TabFocus);
}

void MyImageView::paintEvent(QPaintEvent* event) {
    PictureView::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        paintFocusRing(painter, QRectF(rect()).adjusted(4, 1, -4, -1), 8);
    }
}

void MyImageView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
         event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        emit tapped();
        return;
    }
    PictureView::keyPressEvent(event);
}

void MyImageView::setNormal_img(const QPixmap& picture) {
    normal_img_ = picture;
    setPicture(image());
}

void MyImageView::setLight_img(const QPixmap& picture) {
    light_img_ = picture;
    setPicture(image());
}

void MyImageView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    setPicture(image());
    setAccessibleChecked(this, highlighted);
}

}  // namespace oa

// MyImageView: which of its two pictures the tab item shows.
#include "ui/controller/main/MyImageView.h"

#include "ui/kit/AccessibleKit.h"
namespace oa {

MyImageView::MyImageView(QWidget* parent) : PictureView({}, Mode::Stretch, parent) {
    setCursor(Qt::PointingHandCursor);
    setAccessibleRole(this, QAccessible::PageTab);
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

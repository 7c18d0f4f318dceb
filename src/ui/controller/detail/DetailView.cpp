// DetailView: the previous record, the attachment opener and the shared background.
#include "ui/controller/detail/DetailView.h"

#include <QPalette>

#include "ui/kit/Images.h"

namespace oa {

DetailView::DetailView(QWidget* parent) : BaseView(parent) {}

void DetailView::readAttachment(int category, const std::string& address) const {
    if (opener_) {
        opener_(category, address);
    }
}

void DetailView::setOtherBackground() {
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(image(QStringLiteral("otherbackground.png"))));
    setPalette(palette);
    setAutoFillBackground(true);
}

}  // namespace oa

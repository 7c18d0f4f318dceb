// DetailView: the previous record, the attachment opener and the shared background.
#include "ui/controller/detail/DetailView.h"

#include <QPalette>

#include "ui/kit/Fonts.h"
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

void DetailView::showNothingFound() {
    if (!nothingFound_) {
        nothingFound_ = new QLabel(nothingFoundText(), this);
        nothingFound_->setObjectName(QStringLiteral("nothingFound"));
        nothingFound_->setFont(systemFont(17));
        nothingFound_->setAlignment(Qt::AlignCenter);
        nothingFound_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    nothingFound_->setGeometry(rect());
    nothingFound_->raise();
    nothingFound_->show();
}

void DetailView::resizeEvent(QResizeEvent* event) {
    BaseView::resizeEvent(event);
    if (nothingFound_) {
        nothingFound_->setGeometry(rect());
    }
}

}  // namespace oa

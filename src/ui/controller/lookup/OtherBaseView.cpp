// OtherBaseView: the empty base search view.
#include "ui/controller/lookup/OtherBaseView.h"

#include "ui/controller/detail/DetailView.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/kit/Fonts.h"

namespace oa {

OtherBaseView::OtherBaseView(QWidget* parent) : QWidget(parent) {}

OtherFuncController* OtherBaseView::other_delegate() const {
    return qobject_cast<OtherFuncController*>(other_delegate_.data());
}

void OtherBaseView::setOther_delegate(OtherFuncController* host) {
    other_delegate_ = host;
}

void OtherBaseView::createView() {}

void OtherBaseView::showNothingFound(QWidget* list, bool nothing) {
    if (!nothing) {
        if (nothingFound_) {
            nothingFound_->hide();
        }
        return;
    }
    if (!nothingFound_) {
        nothingFound_ = new QLabel(DetailView::nothingFoundText(), list);
        nothingFound_->setObjectName(QStringLiteral("nothingFound"));
        nothingFound_->setFont(systemFont(17));
        nothingFound_->setAlignment(Qt::AlignCenter);
        nothingFound_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    nothingFound_->setGeometry(0, 20, list->width(), 40);
    nothingFound_->raise();
    nothingFound_->show();
}

}  // namespace oa

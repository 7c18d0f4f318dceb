// OtherBaseView: the empty base search view.
#include "ui/controller/lookup/OtherBaseView.h"

#include "ui/controller/lookup/OtherFuncController.h"

namespace oa {

OtherBaseView::OtherBaseView(QWidget* parent) : QWidget(parent) {}

OtherFuncController* OtherBaseView::other_delegate() const {
    return qobject_cast<OtherFuncController*>(other_delegate_.data());
}

void OtherBaseView::setOther_delegate(OtherFuncController* host) {
    other_delegate_ = host;
}

void OtherBaseView::createView() {}

}  // namespace oa

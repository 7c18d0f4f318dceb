// AttachmentViewController: back button and the placeholder body.
#include "ui/controller/main/AttachmentViewController.h"

#include "ui/controller/main/PlaceholderView.h"
#include "ui/kit/NavigationController.h"

namespace oa {

AttachmentViewController::AttachmentViewController(QObject* parent) : ViewController(parent) {
    setCustomBackButton();
}

void AttachmentViewController::loadView() {
    setView(new PlaceholderView(QStringLiteral("附件"), {QString::fromStdString(attachmentURL_)}));
}

void AttachmentViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

}  // namespace oa

// OtherFuncController: title, back button and the placeholder body.
#include "ui/controller/lookup/OtherFuncController.h"

#include "ui/controller/main/PlaceholderView.h"
#include "ui/kit/NavigationController.h"

namespace oa {

OtherFuncController::OtherFuncController(QObject* parent) : ViewController(parent) {}

void OtherFuncController::loadView() {
    setView(
        new PlaceholderView(QString::fromStdString(func_title_),
                            {QStringLiteral("查询：%1").arg(QString::fromStdString(func_type_))}));
    setTitle(QString::fromStdString(func_title_));
}

void OtherFuncController::viewWillAppear(bool animated) {
    setCustomBackButton();
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

}  // namespace oa

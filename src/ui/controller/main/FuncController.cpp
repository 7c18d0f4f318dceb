// FuncController: title, back button and the placeholder body.
#include "ui/controller/main/FuncController.h"

#include "ui/controller/main/PlaceholderView.h"
#include "ui/kit/NavigationController.h"

namespace oa {

FuncController::FuncController(QObject* parent) : ViewController(parent) {
    setCustomBackButton();
}

void FuncController::setFunc_title(const std::string& title) {
    func_title_ = title;
    setTitle(QString::fromStdString(title));
}

void FuncController::loadView() {
    setView(
        new PlaceholderView(QString::fromStdString(func_title_),
                            {QStringLiteral("模块：%1").arg(QString::fromStdString(func_type_))}));
}

void FuncController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

}  // namespace oa

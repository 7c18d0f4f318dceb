// WriteController: the placeholder body and its closing button.
#include "ui/controller/write/WriteController.h"

#include "ui/controller/main/PlaceholderView.h"
#include "ui/kit/NavigationController.h"

namespace oa {

WriteController::WriteController(QObject* parent) : ViewController(parent) {}

void WriteController::loadView() {
    setView(
        new PlaceholderView(QStringLiteral("写"),
                            {QStringLiteral("编辑：%1").arg(QString::fromStdString(func_type_))}));
    // The screen closes itself once it has sent, as the real editors do.
    const bool saves = func_type_ == "diary" || func_type_ == "calendar";
    setRightBarButton(saves ? QStringLiteral("保存") : QStringLiteral("发送"), [this] {
        if (NavigationController* nav = navigationController();
            nav && nav->topViewController() == this) {
            nav->popViewController(true);
        }
    });
}

void WriteController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

}  // namespace oa

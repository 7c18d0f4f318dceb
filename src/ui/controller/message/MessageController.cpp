// MessageController: title, back button and the placeholder body.
#include "ui/controller/message/MessageController.h"

#include "ui/controller/main/PlaceholderView.h"
#include "ui/kit/NavigationController.h"

namespace oa {

MessageController::MessageController(QObject* parent) : ViewController(parent) {
    setCustomBackButton();
}

void MessageController::setQ_name(const std::string& name) {
    q_name_ = name;
    setTitle(QString::fromStdString(name));
}

void MessageController::loadView() {
    setView(new PlaceholderView(QString::fromStdString(q_name_),
                                {QStringLiteral("对方：%1").arg(QString::fromStdString(q_id_))}));
}

void MessageController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

}  // namespace oa

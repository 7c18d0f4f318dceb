// WorkflowController: the placeholder page and its way back.
#include "ui/controller/main/WorkflowController.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "core/session/GlobalVar.h"
#include "ui/controller/main/PlaceholderView.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/NavigationController.h"

namespace oa {

WorkflowController::WorkflowController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("工作流"));
}

std::string WorkflowController::workflowAddress() {
    const auto& session = GlobalVar::getInstance_global();
    return session.oa().value_or("") + "/mobile/workflow/?P=" + session.session_id().value_or("");
}

void WorkflowController::backToMain() {
    dismissViewController(true);
}

void WorkflowController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("workflowPage"));
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new PlaceholderView(title(), {QString::fromStdString(workflowAddress())}));
    auto* back = new QPushButton(QStringLiteral("返回主界面"));
    back->setObjectName(QStringLiteral("backToMain"));
    back->setFont(systemFont(15));
    back->setMinimumHeight(44);
    connect(back, &QPushButton::clicked, this, &WorkflowController::backToMain);
    layout->addWidget(back);
    setView(view);
}

void WorkflowController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(true, animated);
    }
}

}  // namespace oa

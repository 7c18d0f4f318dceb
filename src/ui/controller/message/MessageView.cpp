// MessageView: the placeholder page.
#include "ui/controller/message/MessageView.h"

#include <QVBoxLayout>

#include "ui/controller/main/PlaceholderView.h"

namespace oa {

MessageView::MessageView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("messageView"));
}

void MessageView::createTableView() {
    if (layout()) {
        return;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PlaceholderView(QStringLiteral("微讯"), {}));
}

}  // namespace oa

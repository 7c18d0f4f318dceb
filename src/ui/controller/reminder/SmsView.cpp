// SmsView: the placeholder page.
#include "ui/controller/reminder/SmsView.h"

#include <QVBoxLayout>

#include "ui/controller/main/PlaceholderView.h"

namespace oa {

SmsView::SmsView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("smsView"));
}

void SmsView::createTableView() {
    if (layout()) {
        return;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PlaceholderView(QStringLiteral("事务提醒"), {}));
}

}  // namespace oa

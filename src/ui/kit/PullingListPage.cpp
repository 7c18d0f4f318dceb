// PullingListPage: the table and the background of a pull-to-refresh page.
#include "ui/kit/PullingListPage.h"

#include <QPainter>

#include "ui/kit/Images.h"

namespace oa {

PullingListPage::PullingListPage(QWidget* parent)
    : QWidget(parent), pattern_(image(QStringLiteral("otherbackground.png"))) {}

PullingListPage::~PullingListPage() {
    if (tableView_) {
        tableView_->setPullingDelegate(nullptr);
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void PullingListPage::createPullingTable(const QString& objectName, qreal rowHeight) {
    if (tableView_) {
        return;
    }
    tableView_ = new PullingRefreshTableView(this, this);
    tableView_->setObjectName(objectName);
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
    tableView_->setSeparatorStyle(TableView::SeparatorStyle::None);
    tableView_->setBackgroundColor(Qt::transparent);
    tableView_->setRowHeight(rowHeight);
    tableView_->setHeaderOnly(true);
    tableView_->setGeometry(rect());
    tableView_->show();
    tableView_->launchRefreshing();
}

void PullingListPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (pattern_.isNull()) {
        painter.fillRect(rect(), QColor(0xf2, 0xf2, 0xf2));
    } else {
        painter.drawTiledPixmap(rect(), pattern_);
    }
}

void PullingListPage::resizeEvent(QResizeEvent*) {
    if (tableView_) {
        tableView_->setGeometry(rect());
    }
}

}  // namespace oa

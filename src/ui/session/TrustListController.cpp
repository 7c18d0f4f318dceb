// TrustListController: the list of trusted servers and its remove buttons.
#include "ui/session/TrustListController.h"

#include <QEvent>
#include <QPushButton>

#include "ui/kit/NavigationController.h"
#include "ui/kit/TableViewCell.h"

namespace oa {

TrustListController::TrustListController(QObject* parent) : ViewController(parent) {
    setTitle(QString::fromUtf8(kTitle));
    entries_ = TrustPlist().list();
}

TrustListController::~TrustListController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

void TrustListController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("trustListView"));
    TableView::setGroupedBackground(view);
    table_ = new TableView(TableView::Style::Grouped, view);
    table_->setObjectName(QStringLiteral("trustTable"));
    table_->setBackgroundColor(Qt::transparent);
    table_->setDataSource(this);
    table_->setDelegate(this);
    setView(view);
    setCustomBackButton();
    // The table fills the screen whatever its size.
    struct Filler : QObject {
        TableView* table;
        explicit Filler(QObject* parent, TableView* t) : QObject(parent), table(t) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Resize) {
                table->setGeometry(static_cast<QWidget*>(watched)->rect());
            }
            return false;
        }
    };
    view->installEventFilter(new Filler(view, table_));
}

void TrustListController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

void TrustListController::reload() {
    entries_ = TrustPlist().list();
    if (table_) {
        table_->reloadData();
    }
}

bool TrustListController::removeEntry(const std::string& hostPort) {
    const bool removed = TrustPlist().remove(hostPort);
    reload();
    return removed;
}

int TrustListController::numberOfRowsInSection(TableView*, int) {
    return entries_.empty() ? 1 : static_cast<int>(entries_.size());
}

qreal TrustListController::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return entries_.empty() ? 44 : kRowHeight;
}

TableViewCell* TrustListController::cellForRowAtIndexPath(TableView*, const IndexPath& path) {
    if (entries_.empty()) {
        auto* cell = new TableViewCell(TableViewCell::Style::Default);
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        cell->textLabel()->setText(QString::fromUtf8(kEmpty));
        return cell;
    }
    const TrustedServer& entry = entries_.at(static_cast<std::size_t>(path.row));
    auto* cell = new TableViewCell(TableViewCell::Style::Subtitle);
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    cell->textLabel()->setText(QString::fromStdString(entry.hostPort));
    // The fingerprint is long: the subject, then the fingerprint wrapped under it.
    cell->detailTextLabel()->setText(
        QString::fromStdString(entry.subject + "\n" + entry.fingerprint()));
    cell->detailTextLabel()->setWordWrap(true);
    cell->detailTextLabel()->setToolTip(QString::fromStdString(entry.fingerprint()));
    auto* remove = new QPushButton(QString::fromUtf8(kRemove));
    remove->setObjectName(QStringLiteral("removeTrust"));
    remove->setProperty("hostPort", QString::fromStdString(entry.hostPort));
    remove->setFixedSize(48, 28);
    remove->setCursor(Qt::PointingHandCursor);
    remove->setStyleSheet(
        QStringLiteral("QPushButton { color: white; border: 1px solid #8e1f1b; border-radius: 5px;"
                       " background: #d9534f; } QPushButton:pressed { background: #a93226; }"));
    const std::string hostPort = entry.hostPort;
    // Queued: the click's cell is deleted by the reload.
    connect(
        remove, &QPushButton::clicked, this, [this, hostPort] { removeEntry(hostPort); },
        Qt::QueuedConnection);
    cell->setAccessoryView(remove);
    return cell;
}

}  // namespace oa

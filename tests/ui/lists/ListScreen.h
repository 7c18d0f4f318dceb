// Shared set-up of the list screen's tests: the phone window with a navigation stack, a list
// screen pushed over a plain root with no delay before its loads, and the gestures and waits the
// tests drive it with.
#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QtTest>
#include <chrono>
#include <memory>
#include <string>

#include "core/platform/MainLoop.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/ModuleRowCell.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"

namespace oa::lists {

// Lets loads still running end and their results reach the main thread.
inline void drain() {
    joinBackgroundThreads();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ListScreen {
public:
    explicit ListScreen(const std::string& key, const std::string& title = "列表")
        : window_(std::make_unique<Window>(QSize(320, 480))), root_(new ViewController) {
        root_->setTitle(QStringLiteral("首页"));
        nav_ = new NavigationController(root_);
        nav_->setTransitionDuration(0);
        window_->setRootViewController(nav_);
        window_->makeKeyAndVisible();
        list_ = new FuncController;
        list_->setFunc_type(key);
        list_->setFunc_title(title);
        list_->setLoadDelay(std::chrono::milliseconds(0));
        QObject::connect(list_, &FuncController::loadFinished, [this] { ++finished_; });
        nav_->pushViewController(list_, false);
    }
    ~ListScreen() {
        window_.reset();
        drain();
    }
    ListScreen(const ListScreen&) = delete;
    ListScreen& operator=(const ListScreen&) = delete;

    FuncController* list() const { return list_; }
    PullingRefreshTableView* table() const { return list_ ? list_->tableView() : nullptr; }
    NavigationController* nav() const { return nav_; }
    ViewController* root() const { return root_; }
    // Results merged (or dropped) so far.
    int finished() const { return finished_; }

    // Waits until `count` results have reached the screen and the table has closed its header
    // or footer.
    bool waitForLoads(int count) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            if (finished_ >= count && table() && !table()->isLoading() &&
                table()->contentInset() == EdgeInsets{}) {
                return true;
            }
            QTest::qWait(5);
        }
        return false;
    }

    // The item ids of the rows in sight, top to bottom, joined: "5,4,3".
    QString shownIds() const {
        QStringList out;
        for (const IndexPath& path : table()->indexPathsForVisibleRows()) {
            auto* cell = qobject_cast<ModuleRowCell*>(table()->cellForRowAtIndexPath(path));
            out << (cell && cell->rowView()
                        ? QString::fromStdString(cell->rowView()->q_id().value_or("?"))
                        : QStringLiteral("-"));
        }
        return out.join(',');
    }

    // A tap on the middle of a row in sight.
    void tap(int row) {
        const QRectF rect = table()->rectForRowAtIndexPath({0, row});
        const QPoint point(160, qRound(rect.center().y() - table()->contentOffset()));
        QTest::mouseClick(table(), Qt::LeftButton, {}, point);
    }

    // A pull on the footer past the end of the rows, let go.
    void pullUp() {
        PullingRefreshTableView* t = table();
        t->setContentOffset(t->maximumContentOffset());
        const QPoint from(160, 350);
        const QPoint to = from + QPoint(0, -140);
        QTest::mousePress(t, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 5; ++i) {
            QTest::mouseMove(t, from + (to - from) * i / 5);
        }
        QTest::mouseRelease(t, Qt::LeftButton, {}, to);
    }

    // The text of the orange strip, or "" when none shows.
    QString strip() const {
        return table() && table()->msgLabel() ? table()->msgLabel()->text() : QString();
    }

private:
    std::unique_ptr<Window> window_;
    ViewController* root_;
    NavigationController* nav_ = nullptr;
    QPointer<FuncController> list_;
    int finished_ = 0;
};

}  // namespace oa::lists

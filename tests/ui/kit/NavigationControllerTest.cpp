// The navigation stack: lazy views, appearance callbacks in order, the bar per screen, ownership.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <optional>

#include "KitTest.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"

namespace oa {
namespace {

// Records every callback as "name:event" in a log shared by all probes of a test.
class Probe : public ViewController {
public:
    Probe(QString name, QStringList* events, std::optional<bool> hidesBar = std::nullopt)
        : name_(std::move(name)), events_(events), hidesBar_(hidesBar) {
        setTitle(name_);
    }

protected:
    void loadView() override {
        events_->append(name_ + ":load");
        setView(new QLabel(name_));
    }
    void viewDidLoad() override { events_->append(name_ + ":didLoad"); }
    void viewWillAppear(bool animated) override {
        events_->append(name_ + ":willAppear" + (animated ? "*" : ""));
        if (hidesBar_ && navigationController()) {
            navigationController()->setNavigationBarHidden(*hidesBar_, animated);
        }
    }
    void viewDidAppear(bool animated) override {
        events_->append(name_ + ":didAppear" + (animated ? "*" : ""));
    }
    void viewWillDisappear(bool animated) override {
        events_->append(name_ + ":willDisappear" + (animated ? "*" : ""));
    }
    void viewDidDisappear(bool animated) override {
        events_->append(name_ + ":didDisappear" + (animated ? "*" : ""));
    }

private:
    QString name_;
    QStringList* events_;
    std::optional<bool> hidesBar_;
};

// Takes the events logged so far.
QStringList take(QStringList& events) {
    return std::exchange(events, {});
}

}  // namespace

class NavigationControllerTest : public QObject {
    Q_OBJECT

private:
    // A shown 320 x 480 window whose root controller is a stack over `root`.
    struct Screen {
        Window window{QSize(320, 480)};
        NavigationController* nav;
        explicit Screen(ViewController* root) : nav(new NavigationController(root)) {
            nav->setTransitionDuration(40);
            window.setRootViewController(nav);
            window.makeKeyAndVisible();
        }
    };

private slots:
    void viewLoadsOnceOnFirstUse() {
        QStringList events;
        Probe probe("A", &events);
        QVERIFY(!probe.isViewLoaded());
        QWidget* view = probe.view();
        QCOMPARE(probe.view(), view);
        QCOMPARE(events, QStringList({"A:load", "A:didLoad"}));
    }

    void pushAndPopCallInOrder_data() {
        QTest::addColumn<bool>("animated");
        QTest::newRow("immediate") << false;
        QTest::newRow("sliding") << true;
    }

    void pushAndPopCallInOrder() {
        QFETCH(bool, animated);
        const QString mark = animated ? "*" : "";
        QStringList events;
        auto* a = new Probe("A", &events);
        Screen screen(a);
        QCOMPARE(take(events), QStringList({"A:load", "A:didLoad", "A:willAppear", "A:didAppear"}));

        QSignalSpy finished(screen.nav, &NavigationController::transitionFinished);
        QPointer<Probe> b = new Probe("B", &events);
        screen.nav->pushViewController(b, animated);
        QCOMPARE(screen.nav->topViewController(), b.data());
        QCOMPARE(b->navigationController(), screen.nav);
        QCOMPARE(screen.nav->isTransitioning(), animated);
        if (animated) {
            // The did-callbacks wait for the slide to end.
            QCOMPARE(events,
                     QStringList({"B:load", "B:didLoad", "A:willDisappear*", "B:willAppear*"}));
            QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        }
        QCOMPARE(take(events), QStringList({"B:load", "B:didLoad", "A:willDisappear" + mark,
                                            "B:willAppear" + mark, "A:didDisappear" + mark,
                                            "B:didAppear" + mark}));
        QVERIFY(b->isAppeared());
        QVERIFY(!a->view()->isVisible());
        QCOMPARE(b->view()->pos(), QPoint(0, 0));

        ViewController* popped = screen.nav->popViewController(animated);
        QCOMPARE(popped, b.data());
        QCOMPARE(screen.nav->topViewController(), a);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 10000);
        QCOMPARE(take(events), QStringList({"B:willDisappear" + mark, "A:willAppear" + mark,
                                            "B:didDisappear" + mark, "A:didAppear" + mark}));
        QVERIFY(a->view()->isVisible());
        QCOMPARE(a->view()->pos(), QPoint(0, 0));
        // A popped screen is released once it has gone.
        QTRY_VERIFY_WITH_TIMEOUT(b.isNull(), 10000);
    }

    void barFollowsEachScreen() {
        QStringList events;
        auto* login = new Probe("登录", &events, true);
        Screen screen(login);
        NavigationBar* bar = screen.nav->navigationBar();
        QVERIFY(screen.nav->isNavigationBarHidden());
        QVERIFY(!bar->isVisible());
        QCOMPARE(login->view()->geometry(), QRect(0, 0, 320, 480));

        auto* list = new Probe("列表", &events, false);
        screen.nav->pushViewController(list, false);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->geometry(), QRect(0, 0, 320, NavigationBar::kHeight));
        QCOMPARE(list->view()->mapTo(&screen.window, QPoint(0, 0)), QPoint(0, 44));
        QCOMPARE(list->view()->size(), QSize(320, 480 - 44));
        QCOMPARE(bar->title(), QString("列表"));
        // Without a left item of its own the screen gets a back button named after the one below.
        QCOMPARE(bar->leftItem(), static_cast<QWidget*>(bar->backButton()));
        QVERIFY(bar->backButton()->isVisible());
        QCOMPARE(bar->backButton()->text(), QString("登录"));

        QTest::mouseClick(bar->backButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(screen.nav->topViewController(), login, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!screen.nav->isTransitioning(), 10000);
        QVERIFY(screen.nav->isNavigationBarHidden());
        QVERIFY(!bar->isVisible());
        QCOMPARE(login->view()->geometry(), QRect(0, 0, 320, 480));
    }

    void barShowsTheTopScreensItems() {
        QStringList events;
        Screen screen(new Probe("A", &events, false));
        auto* b = new Probe("B", &events, false);
        auto* right = new QPushButton("发送");
        right->resize(50, 25);
        b->setRightBarButtonItem(right);
        b->setHidesBackButton(true);
        screen.nav->pushViewController(b, false);
        NavigationBar* bar = screen.nav->navigationBar();

        QCOMPARE(bar->rightItem(), static_cast<QWidget*>(right));
        QCOMPARE(right->geometry(), QRect(320 - 5 - 50, (44 - 25) / 2, 50, 25));
        QVERIFY(right->isVisible());
        QVERIFY(!bar->backButton()->isVisible());

        b->setTitle("写邮件");
        QCOMPARE(bar->title(), QString("写邮件"));
        // The title stays clear of the items.
        QVERIFY(bar->titleRect().right() < right->geometry().left());

        auto* back = new QPushButton("  返回");
        back->resize(50, 25);
        b->setLeftBarButtonItem(back);
        QCOMPARE(bar->leftItem(), static_cast<QWidget*>(back));
        QCOMPARE(back->geometry().topLeft(), QPoint(5, 9));

        QPointer<QPushButton> rightGuard(right);
        screen.nav->popViewController(false);
        QVERIFY(!bar->rightItem());
        QVERIFY(!right->isVisible());
        // The items go with their screen.
        QTRY_VERIFY_WITH_TIMEOUT(rightGuard.isNull(), 10000);
    }

    void popToRootSkipsScreensInBetween() {
        QStringList events;
        auto* a = new Probe("A", &events);
        Screen screen(a);
        QList<QPointer<ViewController>> pushed;
        for (const char* name : {"B", "C", "D"}) {
            auto* probe = new Probe(name, &events);
            pushed.append(probe);
            screen.nav->pushViewController(probe, false);
        }
        take(events);

        const auto removed = screen.nav->popToRootViewController(false);
        QCOMPARE(removed.size(), 3);
        QCOMPARE(removed.last(), pushed.last().data());
        QCOMPARE(screen.nav->viewControllers(), QList<ViewController*>({a}));
        QCOMPARE(take(events),
                 QStringList({"D:willDisappear", "A:willAppear", "D:didDisappear", "A:didAppear"}));
        for (const auto& gone : pushed) {
            QTRY_VERIFY_WITH_TIMEOUT(gone.isNull(), 10000);
        }
        // Nothing above the root: popping is a no-op.
        QCOMPARE(screen.nav->popViewController(false), nullptr);
        QVERIFY(screen.nav->popToRootViewController(false).isEmpty());
        QVERIFY(events.isEmpty());
    }

    void pushDuringSlideSettlesTheSlideFirst() {
        QStringList events;
        auto* a = new Probe("A", &events);
        Screen screen(a);
        take(events);
        auto* b = new Probe("B", &events);
        auto* c = new Probe("C", &events);
        screen.nav->pushViewController(b, true);
        screen.nav->pushViewController(c, false);
        QCOMPARE(take(events),
                 QStringList({"B:load", "B:didLoad", "A:willDisappear*", "B:willAppear*",
                              "A:didDisappear*", "B:didAppear*", "C:load", "C:didLoad",
                              "B:willDisappear", "C:willAppear", "B:didDisappear", "C:didAppear"}));
        QVERIFY(!screen.nav->isTransitioning());
        QCOMPARE(screen.nav->viewControllers(), QList<ViewController*>({a, b, c}));
        QVERIFY(c->view()->isVisible() && !b->view()->isVisible() && !a->view()->isVisible());

        // Pushing a screen twice, or nothing, changes nothing.
        screen.nav->pushViewController(b, false);
        screen.nav->pushViewController(nullptr, false);
        QCOMPARE(screen.nav->viewControllers().size(), 3);
        QVERIFY(events.isEmpty());
    }

    void stackOffScreenDefersViewsAndCallbacks() {
        QStringList events;
        auto* a = new Probe("A", &events);
        auto* b = new Probe("B", &events);
        Window window(QSize(320, 568));
        auto* nav = new NavigationController(a);
        nav->pushViewController(b, true);
        QVERIFY(events.isEmpty());
        QVERIFY(!nav->isTransitioning());

        window.setRootViewController(nav);
        window.makeKeyAndVisible();
        // Only the top screen loads; the one below waits until it is shown.
        QCOMPARE(take(events), QStringList({"B:load", "B:didLoad", "B:willAppear", "B:didAppear"}));
        QVERIFY(!a->isViewLoaded());
        QCOMPARE(b->view()->size(), QSize(320, 568 - 44));

        nav->popViewController(false);
        QCOMPARE(take(events), QStringList({"A:load", "A:didLoad", "B:willDisappear",
                                            "A:willAppear", "B:didDisappear", "A:didAppear"}));
    }

    void destroyedTopScreenUncoversTheOneBelow() {
        QStringList events;
        auto* a = new Probe("A", &events);
        Screen screen(a);
        auto* b = new Probe("B", &events);
        screen.nav->pushViewController(b, false);
        take(events);

        delete b;
        QCOMPARE(screen.nav->viewControllers(), QList<ViewController*>({a}));
        QCOMPARE(take(events), QStringList({"A:willAppear", "A:didAppear"}));
        QVERIFY(a->view()->isVisible());
    }
};

}  // namespace oa

OA_KIT_TEST(NavigationControllerTest)
#include "NavigationControllerTest.moc"

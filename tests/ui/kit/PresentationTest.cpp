// Modal presentation and dismissal with their appearance callbacks, the custom back and right
// buttons of pushed screens, the back button title, and the reveal transition.
#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

// Logs "name:event" for every callback.
class Screen : public ViewController {
public:
    Screen(QString name, QStringList* events) : name_(std::move(name)), events_(events) {
        setTitle(name_);
    }

protected:
    void loadView() override { setView(new QLabel(name_)); }
    void viewWillAppear(bool animated) override { log("willAppear", animated); }
    void viewDidAppear(bool animated) override { log("didAppear", animated); }
    void viewWillDisappear(bool animated) override { log("willDisappear", animated); }
    void viewDidDisappear(bool animated) override { log("didDisappear", animated); }

private:
    void log(const char* event, bool animated) {
        events_->append(name_ + ":" + event + (animated ? "*" : ""));
    }
    QString name_;
    QStringList* events_;
};

QStringList take(QStringList& events) {
    return std::exchange(events, {});
}

struct Shown {
    Window window{QSize(320, 480)};
    NavigationController* nav;
    explicit Shown(ViewController* root) : nav(new NavigationController(root)) {
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
    }
};

}  // namespace

class PresentationTest : public QObject {
    Q_OBJECT

private slots:
    void presentAndDismiss_data() {
        QTest::addColumn<bool>("animated");
        QTest::newRow("at once") << false;
        QTest::newRow("sliding") << true;
    }

    void presentAndDismiss() {
        QFETCH(bool, animated);
        const QString mark = animated ? "*" : "";
        QStringList events;
        auto* index = new Screen("index", &events);
        Shown shown(index);
        take(events);

        QPointer<Screen> page = new Screen("workflow", &events);
        bool presented = false;
        index->presentViewController(page, animated, [&presented] { presented = true; });
        // The outermost container presents: the whole stack goes, the page covers the window.
        QCOMPARE(shown.nav->presentedViewController(), page.data());
        QCOMPARE(page->presentingViewController(), shown.nav);
        QCOMPARE(page->navigationController(), nullptr);
        QCOMPARE(page->parentViewController(), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(presented, 5000);
        QCOMPARE(take(events),
                 QStringList({"index:willDisappear" + mark, "workflow:willAppear" + mark,
                              "index:didDisappear" + mark, "workflow:didAppear" + mark}));
        QCOMPARE(page->view()->parentWidget(), &shown.window);
        QCOMPARE(page->view()->geometry(), shown.window.rect());
        QVERIFY(page->view()->isVisible());
        QVERIFY(!shown.nav->view()->isVisible());

        // One at a time from the same container.
        QPointer<Screen> second = new Screen("second", &events);
        index->presentViewController(second, false);
        QCOMPARE(shown.nav->presentedViewController(), page.data());
        QVERIFY(events.isEmpty());
        // The presented page may present in turn; the page then stays covered.
        page->presentViewController(second, false);
        QCOMPARE(page->presentedViewController(), second.data());
        QCOMPARE(take(events), QStringList({"workflow:willDisappear", "second:willAppear",
                                            "workflow:didDisappear", "second:didAppear"}));
        second->dismissViewController(false);
        QCOMPARE(take(events), QStringList({"second:willDisappear", "workflow:willAppear",
                                            "second:didDisappear", "workflow:didAppear"}));
        QTRY_VERIFY_WITH_TIMEOUT(second.isNull(), 5000);

        // The presented screen dismisses itself; the index comes back into view (the home grid
        // fetches its counters then).
        bool dismissed = false;
        page->dismissViewController(animated, [&dismissed] { dismissed = true; });
        QTRY_VERIFY_WITH_TIMEOUT(dismissed, 5000);
        QCOMPARE(take(events),
                 QStringList({"workflow:willDisappear" + mark, "index:willAppear" + mark,
                              "workflow:didDisappear" + mark, "index:didAppear" + mark}));
        QVERIFY(shown.nav->view()->isVisible());
        QCOMPARE(shown.nav->presentedViewController(), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), 5000);
    }

    void dismissingFromBelowTakesEveryPresentedScreen() {
        QStringList events;
        auto* index = new Screen("index", &events);
        Shown shown(index);
        QPointer<Screen> page = new Screen("page", &events);
        QPointer<Screen> picker = new Screen("picker", &events);
        index->presentViewController(page, false);
        page->presentViewController(picker, false);
        take(events);
        // Only the screen in sight and the one coming back hear of it.
        index->dismissViewController(true);
        QCOMPARE(events, QStringList({"picker:willDisappear*", "index:willAppear*"}));
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull() && picker.isNull(), 5000);
        QCOMPARE(take(events), QStringList({"picker:willDisappear*", "index:willAppear*",
                                            "picker:didDisappear*", "index:didAppear*"}));
        QVERIFY(shown.nav->view()->isVisible());
    }

    void deletingThePresentedScreenUncoversThePresenter() {
        QStringList events;
        auto* index = new Screen("index", &events);
        Shown shown(index);
        QPointer<Screen> page = new Screen("page", &events);
        index->presentViewController(page, false);
        take(events);
        delete page;
        QCOMPARE(take(events), QStringList({"index:willAppear", "index:didAppear"}));
        QVERIFY(shown.nav->view()->isVisible());
        QCOMPARE(shown.nav->presentedViewController(), nullptr);
        // And presenting works again.
        index->presentViewController(new Screen("again", &events), false);
        QVERIFY(shown.nav->presentedViewController());
    }

    void customBackButtonPops() {
        QStringList events;
        auto* index = new Screen("index", &events);
        Shown shown(index);
        index->setBackButtonTitle("首页");
        auto* settings = new Screen("settings", &events);
        shown.nav->pushViewController(settings, false);
        NavigationBar* bar = shown.nav->navigationBar();
        // Without a button of its own the screen gets the bar's, titled as the index asks.
        QCOMPARE(bar->backButton()->text(), QString("首页"));

        BarButton* back = settings->setCustomBackButton();
        QCOMPARE(bar->leftItem(), static_cast<QWidget*>(back));
        QCOMPARE(back->text(), QString("  返回"));
        QCOMPARE(back->geometry(), QRect(NavigationBar::kItemMargin, (44 - 25) / 2, 50, 25));
        int saved = 0;
        BarButton* save = settings->setRightBarButton("保存", [&saved] { ++saved; });
        QCOMPARE(bar->rightItem(), static_cast<QWidget*>(save));
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(saved, 1);

        QTest::mouseClick(back, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shown.nav->topViewController(), index, 5000);

        // With an action of its own the button runs that instead of popping.
        auto* list = new Screen("list", &events);
        shown.nav->pushViewController(list, false);
        int clicked = 0;
        BarButton* own = list->setCustomBackButton([&clicked] { ++clicked; });
        QTest::mouseClick(own, Qt::LeftButton);
        QCOMPARE(clicked, 1);
        QCOMPARE(shown.nav->topViewController(), list);
    }

    void revealUncoversThePreviousScreen() {
        QStringList events;
        auto* login = new Screen("login", &events);
        Shown shown(login);
        auto* settings = new Screen("settings", &events);
        shown.nav->pushViewController(settings, false);
        take(events);

        ViewController* popped = shown.nav->popViewControllerWithReveal(350);
        QCOMPARE(popped, settings);
        // The change and its callbacks are immediate; only the picture of the old screen moves.
        QCOMPARE(shown.nav->topViewController(), login);
        QCOMPARE(take(events), QStringList({"settings:willDisappear", "login:willAppear",
                                            "settings:didDisappear", "login:didAppear"}));
        QVERIFY(shown.nav->isRevealing());
        auto* cover = shown.nav->view()->findChild<QLabel*>("revealCover");
        QVERIFY(cover && cover->isVisible());
        QVERIFY(cover->testAttribute(Qt::WA_TransparentForMouseEvents));
        QTRY_VERIFY_WITH_TIMEOUT(cover->x() > 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.nav->isRevealing(), 5000);
        QCOMPARE(shown.nav->popViewControllerWithReveal(350), nullptr);  // nothing above the root
    }
};

}  // namespace oa

OA_KIT_TEST(PresentationTest)
#include "PresentationTest.moc"

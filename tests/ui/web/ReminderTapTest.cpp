// The reminder list inside the main index against the demo server: a reminder of a kind
// without a module opens its page through "/mobile/go.php" in the viewer, one of a module opens
// the module's screen, and a tapped reminder is gone after the reload that follows.
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <string>

#include "WebTest.h"
#include "core/protocol/ModuleCatalogue.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/WorkflowController.h"
#include "ui/controller/reminder/SmsView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

constexpr int kWaitMs = 20000;

struct Host {
    Host()
        : window(QSize(320, 480)), root(new ViewController), nav(new NavigationController(root)) {
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
        index = new IndexController;
        nav->pushViewController(index, false);
    }
    SmsView* sms() const { return index->sms_view(); }
    // The row of the first reminder whose kind opens a module (or not), or -1.
    int firstRow(bool withModule) const {
        const auto& list = sms()->list();
        for (std::size_t i = 0; i < list.size(); ++i) {
            const bool module =
                ModuleCatalogue::reminderModule(std::string_view(list[i]->sms_type.value_or("")))
                    .has_value();
            if (module == withModule) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    Window window;
    ViewController* root;
    NavigationController* nav;
    QPointer<IndexController> index;
};

}  // namespace

class ReminderTapTest : public QObject {
    Q_OBJECT

private slots:
    // A kind without a module: the viewer on the go.php address of the reminder's page, the
    // reminder marked read and gone from the list after the reload.
    void pageKindOpensGoPhpAndIsGoneAfterTheReload() {
        QVERIFY(web::signIn());
        Host host;
        QTRY_VERIFY_WITH_TIMEOUT(!host.sms()->list().empty(), kWaitMs);
        const int row = host.firstRow(false);
        if (row < 0) {
            QSKIP("the demo user has no reminder shown through its page");
        }
        const auto reminder = host.sms()->list()[static_cast<std::size_t>(row)];
        QSignalSpy reloaded(host.sms(), &SmsView::loadFinished);
        host.sms()->didSelectRowAtIndexPath(host.sms()->tableView(), {0, row});
        auto* viewer = qobject_cast<AttachmentViewController*>(host.nav->topViewController());
        QVERIFY(viewer);
        QCOMPARE(viewer->attachmentURL(),
                 IndexController::reminderAddress(reminder->sms_url.value_or("")));

        QVERIFY(reloaded.wait(kWaitMs));
        QCOMPARE(host.sms()->state(), std::string("up"));
        for (const auto& shown : host.sms()->list()) {
            QVERIFY(shown->q_id != reminder->q_id);
        }
    }

    // A kind of a module: the workflow page is presented, any other module's list pushed.
    void moduleKindOpensItsScreen() {
        QVERIFY(web::signIn());
        Host host;
        QTRY_VERIFY_WITH_TIMEOUT(!host.sms()->list().empty(), kWaitMs);
        const int row = host.firstRow(true);
        if (row < 0) {
            QSKIP("the demo user has no reminder of a module");
        }
        const auto reminder = host.sms()->list()[static_cast<std::size_t>(row)];
        const auto target =
            ModuleCatalogue::reminderModule(std::string_view(reminder->sms_type.value_or("")));
        host.sms()->didSelectRowAtIndexPath(host.sms()->tableView(), {0, row});
        if (target->key == "workflow") {
            QVERIFY(qobject_cast<WorkflowController*>(host.nav->presentedViewController()));
        } else {
            auto* list = qobject_cast<FuncController*>(host.nav->topViewController());
            QVERIFY(list);
            QCOMPARE(list->func_type(), target->key);
        }
    }
};

}  // namespace oa

OA_QT_TEST(ReminderTapTest)
#include "ReminderTapTest.moc"

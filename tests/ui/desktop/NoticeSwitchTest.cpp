// The "新消息通知" switch of the "more" page: on by default, stored in the settings file when
// changed, and kept when the network environments are saved over the same file.
#include <QtTest>

#include "core/session/SetBO.h"
#include "support/TempHome.h"
#include "ui/controller/main/NewsNotifier.h"
#include "ui/controller/main/OtherView.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

Switch* noticeSwitch(OtherView& page) {
    TableViewCell* cell = page.tableView()->cellForRowAtIndexPath({0, 3});
    return cell && cell->textLabel()->text() == QString::fromUtf8(OtherView::kNewsNotices)
               ? qobject_cast<Switch*>(cell->accessoryView())
               : nullptr;
}

}  // namespace

class NoticeSwitchTest : public QObject {
    Q_OBJECT

private slots:
    void switchIsStoredWithTheSettings() {
        test::TempHome home;
        {
            OtherView page;
            page.resize(320, 387);
            page.createView();
            page.show();
            Switch* on = noticeSwitch(page);
            QVERIFY(on);
            QVERIFY(on->isOn());
            QTest::mouseClick(on, Qt::LeftButton);
            QVERIFY(!on->isOn());
        }
        QVERIFY(!NewsNotifier::isSwitchedOn());
        // The network environments screen saves its seven values over the same file.
        SetBO().saveSet({{"name1", "内网"},
                         {"ip1", "10.0.0.1"},
                         {"name2", ""},
                         {"ip2", ""},
                         {"name3", ""},
                         {"ip3", ""},
                         {"im_port", "1188"}});
        QVERIFY(!NewsNotifier::isSwitchedOn());

        OtherView again;
        again.resize(320, 387);
        again.createView();
        again.show();
        QVERIFY(noticeSwitch(again));
        QVERIFY(!noticeSwitch(again)->isOn());
    }
};

}  // namespace oa

OA_QT_TEST(NoticeSwitchTest)
#include "NoticeSwitchTest.moc"

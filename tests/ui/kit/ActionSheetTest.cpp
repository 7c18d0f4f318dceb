// The action sheet: button order and indexes as callers number them, one choice per sheet told
// to the delegate and by the signal, cancel by Escape or a tap on the dimmed area, and no
// callback into a delegate or view that has gone.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/ActionSheet.h"

namespace oa {

namespace {

class Recorder : public ActionSheetDelegate {
public:
    void actionSheet(ActionSheet* sheet, int index) override {
        events.append(QStringLiteral("%1 %2").arg(index).arg(sheet->buttonTitleAtIndex(index)));
        if (onChoice) {
            onChoice(sheet);
        }
    }
    QStringList events;
    std::function<void(ActionSheet*)> onChoice;
};

// A screen that answers the sheet: a QObject delegate, as the screens are.
class Screen : public QObject, public ActionSheetDelegate {
public:
    void actionSheet(ActionSheet*, int index) override { chosen.append(index); }
    QList<int> chosen;
};

struct Shown {
    QWidget window;
    Recorder recorder;
    QPointer<ActionSheet> sheet;

    explicit Shown(ActionSheet* made) : sheet(made) {
        window.resize(320, 480);
        window.show();
        sheet->setDelegate(&recorder);
        sheet->showInView(&window);
    }
    // Waits until the sheet has slid all the way up.
    bool settled() const {
        return QTest::qWaitFor(
            [&] {
                return sheet &&
                       sheet->panelRect().bottom() == window.height() - ActionSheet::kMargin - 1;
            },
            5000);
    }
    void tap(QPoint at) const { QTest::mouseClick(sheet.data(), Qt::LeftButton, {}, at); }
    void tapButton(int index) const { tap(sheet->buttonRect(index).center()); }
};

ActionSheet* pictureMenu() {
    return new ActionSheet("图片上传", nullptr, "取消", {}, {"拍照", "用户相册"});
}

}  // namespace

class ActionSheetTest : public QObject {
    Q_OBJECT

private slots:
    void buttonsAreNumberedDestructiveOthersCancel() {
        ActionSheet full("", nullptr, "取消", "删除", {"拨打电话", "发送短信"});
        QCOMPARE(full.numberOfButtons(), 4);
        QCOMPARE(full.destructiveButtonIndex(), 0);
        QCOMPARE(full.firstOtherButtonIndex(), 1);
        QCOMPARE(full.cancelButtonIndex(), 3);
        QStringList titles;
        for (int i = 0; i < full.numberOfButtons(); ++i) {
            titles.append(full.buttonTitleAtIndex(i));
        }
        QCOMPARE(titles, QStringList({"删除", "拨打电话", "发送短信", "取消"}));
        QCOMPARE(full.buttonTitleAtIndex(4), QString());
        QCOMPARE(full.buttonTitleAtIndex(-1), QString());

        std::unique_ptr<ActionSheet> menu(pictureMenu());
        QCOMPARE(menu->destructiveButtonIndex(), -1);
        QCOMPARE(menu->firstOtherButtonIndex(), 0);
        QCOMPARE(menu->buttonTitleAtIndex(1), QString("用户相册"));
        QCOMPARE(menu->cancelButtonIndex(), 2);

        ActionSheet noCancel("", nullptr, "", "", {"一"});
        QCOMPARE(noCancel.numberOfButtons(), 1);
        QCOMPARE(noCancel.cancelButtonIndex(), -1);
        ActionSheet onlyCancel("", nullptr, "取消", "", {});
        QCOMPARE(onlyCancel.firstOtherButtonIndex(), -1);
        QCOMPARE(onlyCancel.cancelButtonIndex(), 0);
    }

    void tapOnAButtonChoosesItOnce() {
        Shown shown(pictureMenu());
        QVERIFY(shown.settled());
        const QRect panel = shown.sheet->panelRect();
        QVERIFY(shown.window.rect().contains(panel));
        // Laid out top to bottom in index order, the cancel button last and set apart.
        QVERIFY(shown.sheet->buttonRect(0).bottom() < shown.sheet->buttonRect(1).top());
        QVERIFY(shown.sheet->buttonRect(1).bottom() + ActionSheet::kMargin <=
                shown.sheet->buttonRect(2).top());

        QSignalSpy clicked(shown.sheet.data(), &ActionSheet::clickedButtonAtIndex);
        QSignalSpy dismissed(shown.sheet.data(), &ActionSheet::didDismissWithButtonIndex);
        shown.tapButton(1);
        QCOMPARE(shown.recorder.events, QStringList({"1 用户相册"}));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().toInt(), 1);
        QCOMPARE(dismissed.count(), 1);
        QCOMPARE(dismissed.first().first().toInt(), 1);

        // While it slides away nothing more is chosen, from code or from the keyboard.
        shown.sheet->clickButtonAtIndex(0);
        shown.sheet->cancel();
        QTest::keyClick(shown.sheet.data(), Qt::Key_Escape);
        shown.sheet->dismissWithClickedButtonIndex(2, false);
        QCOMPARE(shown.recorder.events.size(), 1);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(dismissed.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(shown.sheet.isNull(), 5000);
    }

    void keysLightAButtonAndChooseIt_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("events");
        using K = QList<int>;
        QTest::newRow("Down, Enter") << K{Qt::Key_Down, Qt::Key_Return} << QStringList{"0 拍照"};
        QTest::newRow("Up wraps to cancel")
            << K{Qt::Key_Up, Qt::Key_Space} << QStringList{"2 取消"};
        QTest::newRow("Tab walks and stays in the sheet")
            << K{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}
            << QStringList{"0 拍照"};
        QTest::newRow("Enter before a key lit a button") << K{Qt::Key_Return} << QStringList();
    }

    void keysLightAButtonAndChooseIt() {
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, events);
        Shown shown(pictureMenu());
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        for (int key : keys) {
            QVERIFY(shown.sheet && shown.sheet->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        }
        QCOMPARE(shown.recorder.events, events);
    }

    void escapeAndATapOnTheDimmedAreaCancel() {
        {
            Shown shown(pictureMenu());
            QVERIFY(shown.settled());
            QTest::keyClick(shown.sheet.data(), Qt::Key_Escape);
            QCOMPARE(shown.recorder.events, QStringList({"2 取消"}));
            QTRY_VERIFY_WITH_TIMEOUT(shown.sheet.isNull(), 5000);
        }
        {
            Shown shown(new ActionSheet("图片上传", nullptr, "取消", {}, {"拍照"}));
            QVERIFY(shown.settled());
            // The title is part of the sheet: a tap there chooses nothing.
            shown.tap(shown.sheet->panelRect().topLeft() + QPoint(20, 8));
            QVERIFY(shown.recorder.events.isEmpty());
            QVERIFY(!shown.sheet->isClosing());
            shown.tap(QPoint(160, 40));
            QCOMPARE(shown.recorder.events, QStringList({"1 取消"}));
        }
        {
            // Without a cancel button the sheet closes choosing nothing.
            Shown shown(new ActionSheet("", nullptr, "", "", {"一", "二"}));
            QVERIFY(shown.settled());
            QSignalSpy clicked(shown.sheet.data(), &ActionSheet::clickedButtonAtIndex);
            QSignalSpy dismissed(shown.sheet.data(), &ActionSheet::didDismissWithButtonIndex);
            QTest::keyClick(shown.sheet.data(), Qt::Key_Escape);
            QVERIFY(shown.recorder.events.isEmpty());
            QCOMPARE(clicked.count(), 0);
            QCOMPARE(dismissed.count(), 1);
            QCOMPARE(dismissed.first().first().toInt(), -1);
            QTRY_VERIFY_WITH_TIMEOUT(shown.sheet.isNull(), 5000);
        }
    }

    void aPressThatSlidesOffItsButtonChoosesNothing() {
        Shown shown(pictureMenu());
        QVERIFY(shown.settled());
        const QPoint first = shown.sheet->buttonRect(0).center();
        const QPoint second = shown.sheet->buttonRect(1).center();
        QTest::mousePress(shown.sheet.data(), Qt::LeftButton, {}, first);
        QTest::mouseMove(shown.sheet.data(), second);
        QTest::mouseRelease(shown.sheet.data(), Qt::LeftButton, {}, second);
        QVERIFY(shown.recorder.events.isEmpty());
        // A press on the dimmed area that ends on the sheet is no cancel either.
        QTest::mousePress(shown.sheet.data(), Qt::LeftButton, {}, QPoint(160, 40));
        QTest::mouseRelease(shown.sheet.data(), Qt::LeftButton, {}, second);
        QVERIFY(shown.recorder.events.isEmpty());
        QVERIFY(!shown.sheet->isClosing());
    }

    void programmaticDismissTellsNoDelegate() {
        Shown shown(pictureMenu());
        QSignalSpy clicked(shown.sheet.data(), &ActionSheet::clickedButtonAtIndex);
        QSignalSpy dismissed(shown.sheet.data(), &ActionSheet::didDismissWithButtonIndex);
        shown.sheet->dismissWithClickedButtonIndex(0, false);
        QVERIFY(shown.recorder.events.isEmpty());
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(dismissed.count(), 1);
        QVERIFY(!shown.sheet->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(shown.sheet.isNull(), 5000);
    }

    void aHandlerThatClosesTheSheetItselfIsTheOnlyClose() {
        Shown shown(pictureMenu());
        QVERIFY(shown.settled());
        QSignalSpy dismissed(shown.sheet.data(), &ActionSheet::didDismissWithButtonIndex);
        shown.recorder.onChoice = [](ActionSheet* sheet) {
            sheet->dismissWithClickedButtonIndex(2, false);
            sheet->clickButtonAtIndex(1);
        };
        shown.tapButton(0);
        QCOMPARE(shown.recorder.events, QStringList({"0 拍照"}));
        QCOMPARE(dismissed.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(shown.sheet.isNull(), 5000);

        // A handler may even delete the sheet at once.
        Shown again(pictureMenu());
        QVERIFY(again.settled());
        again.recorder.onChoice = [](ActionSheet* sheet) { delete sheet; };
        again.tapButton(1);
        QCOMPARE(again.recorder.events, QStringList({"1 用户相册"}));
        QVERIFY(again.sheet.isNull());
    }

    void aDestroyedScreenIsNotCalled() {
        Shown shown(pictureMenu());
        QVERIFY(shown.settled());
        auto screen = std::make_unique<Screen>();
        shown.sheet->setDelegate(screen.get());
        QSignalSpy clicked(shown.sheet.data(), &ActionSheet::clickedButtonAtIndex);
        screen.reset();  // the screen was popped while its sheet showed
        shown.tapButton(0);
        QCOMPARE(clicked.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(shown.sheet.isNull(), 5000);

        // A live screen is called.
        Screen live;
        Shown second(pictureMenu());
        QVERIFY(second.settled());
        second.sheet->setDelegate(&live);
        second.tapButton(1);
        QCOMPARE(live.chosen, QList<int>({1}));
    }

    void aSheetGoesWithItsView() {
        Recorder recorder;
        auto window = std::make_unique<QWidget>();
        window->resize(320, 480);
        window->show();
        QPointer<ActionSheet> sheet = pictureMenu();
        sheet->setDelegate(&recorder);
        sheet->showInView(window.get());
        window.reset();
        QVERIFY(sheet.isNull());
        QCoreApplication::processEvents();
        QVERIFY(recorder.events.isEmpty());
    }

    void contentSitsBetweenTitleAndButtonsAndFollowsTheWindow() {
        auto* sheet = new ActionSheet("选择时间", nullptr, "确定", {}, {});
        auto* field = new QLineEdit;
        field->setFixedHeight(120);
        sheet->setContentWidget(field);
        Shown shown(sheet);
        QVERIFY(shown.settled());
        const QRect panel = sheet->panelRect();
        QVERIFY(panel.contains(field->geometry()));
        QCOMPARE(field->height(), 120);
        QVERIFY(field->geometry().top() > panel.top() + 20);  // below the title
        QVERIFY(field->geometry().bottom() < sheet->buttonRect(0).top());

        // Escape typed into the content cancels the sheet as well.
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(shown.recorder.events, QStringList({"0 确定"}));
    }

    void aResizedWindowKeepsTheSheetAtItsBottom() {
        Shown shown(pictureMenu());
        QVERIFY(shown.settled());
        shown.window.resize(320, 568);
        QCOMPARE(shown.sheet->geometry(), shown.window.rect());
        QCOMPARE(shown.sheet->panelRect().bottom(), 568 - ActionSheet::kMargin - 1);
        shown.tapButton(0);
        QCOMPARE(shown.recorder.events, QStringList({"0 拍照"}));
    }
};

}  // namespace oa

OA_KIT_TEST(ActionSheetTest)
#include "ActionSheetTest.moc"

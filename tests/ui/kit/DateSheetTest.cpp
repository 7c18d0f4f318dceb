// The date and time sheets: they open at the value given, hand back the value chosen once,
// whatever closes them ("确定", Return, Escape, a tap outside), and call nobody who has gone.
#include <QApplication>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QPointer>
#include <QTimeEdit>
#include <QtTest>
#include <optional>

#include "KitTest.h"
#include "ui/kit/DateSheet.h"

namespace oa {

namespace {

struct Window {
    QWidget widget;
    Window() {
        widget.resize(320, 480);
        widget.show();
        QApplication::setActiveWindow(&widget);
    }
    bool settled(ActionSheet* sheet) const {
        return QTest::qWaitFor(
            [&] {
                return sheet->panelRect().bottom() == widget.height() - ActionSheet::kMargin - 1;
            },
            5000);
    }
};

}  // namespace

class DateSheetTest : public QObject {
    Q_OBJECT

private slots:
    void dateSheetOpensAtTheValueAndHandsBackTheChoice() {
        Window window;
        QList<QDate> written;
        QPointer<DateSheet> sheet =
            new DateSheet(QDate(2024, 3, 15), [&](QDate date) { written.append(date); });
        QCOMPARE(sheet->title(), QString("选择时间"));
        QCOMPARE(sheet->numberOfButtons(), 1);
        QCOMPARE(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), QString("确定"));
        QDateTimeEdit* editor = sheet->editor();
        QCOMPARE(editor->date(), QDate(2024, 3, 15));
        QCOMPARE(editor->text(), QString("2024-03-15"));
        QVERIFY(editor->calendarPopup());
        sheet->showInView(&window.widget);
        QVERIFY(window.settled(sheet));
        QVERIFY(sheet->panelRect().contains(editor->geometry()));

        // Changes count only when the sheet closes.
        editor->calendarWidget()->setSelectedDate(QDate(2024, 4, 1));
        editor->setDate(QDate(2024, 4, 1));
        QVERIFY(written.isEmpty());
        QTest::mouseClick(sheet.data(), Qt::LeftButton, {}, sheet->buttonRect(0).center());
        QCOMPARE(written, QList<QDate>({QDate(2024, 4, 1)}));
        QTRY_VERIFY_WITH_TIMEOUT(sheet.isNull(), 5000);
        QCOMPARE(written.size(), 1);
    }

    void typedDatesAndEveryWayOfClosingWriteTheValue() {
        Window window;
        std::optional<QDate> written;
        // Typed into the editor, then Return.
        auto* typed = new DateSheet(QDate(2024, 3, 15), [&](QDate date) { written = date; });
        typed->showInView(&window.widget);
        QVERIFY(typed->editor()->hasFocus());
        typed->editor()->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(typed->editor(), "28");
        QVERIFY(!written);
        QTest::keyClick(typed->editor(), Qt::Key_Return);
        QCOMPARE(written, std::optional<QDate>(QDate(2024, 3, 28)));

        // Escape in the editor.
        written.reset();
        auto* escaped = new DateSheet(QDate(2023, 12, 31), [&](QDate date) { written = date; });
        escaped->showInView(&window.widget);
        QTest::keyClick(escaped->editor(), Qt::Key_Up);  // the year section: 2024
        QTest::keyClick(escaped->editor(), Qt::Key_Escape);
        QCOMPARE(written, std::optional<QDate>(QDate(2024, 12, 31)));

        // A tap on the dimmed area.
        written.reset();
        QPointer<DateSheet> tapped =
            new DateSheet(QDate(2025, 1, 2), [&](QDate date) { written = date; });
        tapped->showInView(&window.widget);
        QVERIFY(window.settled(tapped));
        QTest::mouseClick(tapped.data(), Qt::LeftButton, {}, QPoint(160, 60));
        QCOMPARE(written, std::optional<QDate>(QDate(2025, 1, 2)));
    }

    void timeSheetWritesHoursAndMinutes() {
        Window window;
        QList<QTime> written;
        auto* sheet = new TimeSheet(QTime(9, 5), [&](QTime time) { written.append(time); });
        QTimeEdit* editor = sheet->editor();
        QCOMPARE(editor->text(), QString("09:05"));
        sheet->showInView(&window.widget);
        QVERIFY(window.settled(sheet));
        editor->setSelectedSection(QDateTimeEdit::HourSection);
        QTest::keyClicks(editor, "17");
        editor->setSelectedSection(QDateTimeEdit::MinuteSection);
        QTest::keyClicks(editor, "30");
        QCOMPARE(editor->text(), QString("17:30"));
        QVERIFY(written.isEmpty());
        // The arrow keys turn the section under the cursor.
        QTest::keyClick(editor, Qt::Key_Up);
        QCOMPARE(editor->text(), QString("17:31"));
        QTest::mouseClick(sheet, Qt::LeftButton, {}, sheet->buttonRect(0).center());
        QCOMPARE(written, QList<QTime>({QTime(17, 31)}));
        // Seconds never creep in.
        QCOMPARE(written.first().second(), 0);
    }

    void nobodyGoneIsCalled() {
        Window window;
        int calls = 0;
        // The editor screen that asked was closed while the sheet showed.
        auto receiver = std::make_unique<QObject>();
        auto* sheet = new TimeSheet(
            QTime(8, 0), [&](QTime) { ++calls; }, receiver.get());
        sheet->showInView(&window.widget);
        receiver.reset();
        QTest::keyClick(sheet->editor(), Qt::Key_Escape);
        QCOMPARE(calls, 0);

        // The window went, and the sheet with it.
        auto host = std::make_unique<QWidget>();
        host->resize(320, 480);
        host->show();
        QPointer<DateSheet> date = new DateSheet(QDate(2024, 1, 1), [&](QDate) { ++calls; });
        date->showInView(host.get());
        host.reset();
        QVERIFY(date.isNull());
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);

        // A live receiver is called, once.
        QObject live;
        auto* third = new DateSheet(
            QDate(2024, 1, 1), [&](QDate) { ++calls; }, &live);
        third->showInView(&window.widget);
        third->dismissWithClickedButtonIndex(0, false);
        third->cancel();
        QCOMPARE(calls, 1);
    }

    void invalidValuesOpenAtToday() {
        DateSheet date(QDate(), {});
        QCOMPARE(date.editor()->date(), QDate::currentDate());
        TimeSheet time(QTime(), {});
        QVERIFY(time.editor()->time().isValid());
        QCOMPARE(time.editor()->time().second(), 0);
    }
};

}  // namespace oa

OA_KIT_TEST(DateSheetTest)
#include "DateSheetTest.moc"

// The diary, schedule and e-mail editors with the clock at 2026-05-08 09:05: what each sends
// untouched, the switches, the priority list, the time labels, the recipient strips and the
// refusal without a recipient.
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <QDateTimeEdit>
#include <QTimeEdit>
#include "WriteScreen.h"
#include "ui/controller/write/CalendarWriteView.h"
#include "ui/controller/write/DiaryWriteView.h"
#include "ui/controller/write/DraftStore.h"
#include "ui/controller/write/EmailWriteView.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/DateSheet.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/ScrollView.h"
#include "ui/kit/TextField.h"
#include "ui/kit/TextView.h"
#include "ui/kit/ViewTags.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

using write::person;
using write::WriteEnvironment;
using write::WriteScreen;

namespace {

QStringList stripNames(ScrollView* strip, int firstTag, int count) {
    QStringList names;
    for (int i = 0; i < count + 1; ++i) {
        if (auto* button = viewWithTag<QPushButton>(strip, firstTag + i)) {
            names << button->text();
        }
    }
    return names;
}

}  // namespace

class EditorsTest : public QObject {
    Q_OBJECT

private slots:
    void diaryDefaultsAreSentUntouched() {
        WriteEnvironment env;
        WriteScreen screen("diary");
        DiaryWriteView* diary = screen.write()->diary_view();
        QVERIFY(diary);
        QCOMPARE(screen.write()->name(), QStringLiteral("保存"));
        DiarySaveVO expected;
        expected.diaryTitle = "王伟2026-05-08工作日志";
        expected.diaryDate = "2026-05-08";
        expected.diaryType = "1";
        QCOMPARE(diary->getDiarySaveVO(), expected);
    }

    // The switch rewrites a proposed title, never a typed one; the kind follows the switch.
    void diarySwitchKeepsTypedTitle() {
        WriteEnvironment env;
        WriteScreen screen("diary");
        DiaryWriteView* diary = screen.write()->diary_view();
        diary->segmentedControlChangedValue(1);
        QCOMPARE(diary->getDiarySaveVO().diaryTitle, std::string("王伟2026-05-08个人日志"));
        QCOMPARE(diary->getDiarySaveVO().diaryType, std::string("2"));
        diary->segmentedControlChangedValue(0);
        QCOMPARE(diary->getDiarySaveVO().diaryTitle, std::string("王伟2026-05-08工作日志"));
        QCOMPARE(diary->getDiarySaveVO().diaryType, std::string("1"));

        diary->titleField()->clear();
        QTest::keyClicks(diary->titleField(), QStringLiteral("Q2 review"));
        diary->segmentedControlChangedValue(1);
        QCOMPARE(diary->title(), QStringLiteral("Q2 review"));
        QCOMPARE(diary->getDiarySaveVO().diaryType, std::string("2"));
    }

    // The proposed title shows whole, also with a three-character name and a two-digit month.
    void diaryTitleFits() {
        WriteEnvironment env;
        GlobalVar::getInstance_global().setLogin_user_name(std::string("王建国"));
        WallClock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5)); });
        WriteScreen screen("diary");
        TextField* title = screen.write()->diary_view()->titleField();
        QCOMPARE(title->text(), QStringLiteral("王建国2026-12-07工作日志"));
        // The field's padding and the line edit's own margins take 8 points.
        QVERIFY(QFontMetrics(title->font()).horizontalAdvance(title->text()) <= title->width() - 8);
    }

    // A chosen date is sent; the proposed title keeps today.
    void diaryDateLeavesTitleAlone() {
        WriteEnvironment env;
        WriteScreen screen("diary");
        DiaryWriteView* diary = screen.write()->diary_view();
        diary->setDate(QDate(2026, 5, 7));
        QCOMPARE(diary->getDiarySaveVO().diaryDate, std::string("2026-05-07"));
        QCOMPARE(diary->getDiarySaveVO().diaryTitle, std::string("王伟2026-05-08工作日志"));
    }

    // The date and time labels open their sheet at the label's value; closing it writes the
    // value chosen.
    void dateAndTimeSheets() {
        WriteEnvironment env;
        WriteScreen diaryScreen("diary");
        DiaryWriteView* diary = diaryScreen.write()->diary_view();
        diary->dateLabel()->click();
        QPointer<DateSheet> dates = qobject_cast<DateSheet*>(diaryScreen.write()->sheet());
        QVERIFY(dates);
        QCOMPARE(dates->editor()->date(), QDate(2026, 5, 8));
        dates->editor()->setDate(QDate(2026, 4, 30));
        dates->cancel();
        QTRY_VERIFY(!dates);
        QCOMPARE(diary->getDiarySaveVO().diaryDate, std::string("2026-04-30"));
        diaryScreen.close();

        WriteScreen calendarScreen("calendar");
        CalendarWriteView* calendar = calendarScreen.write()->calendar_view();
        calendar->endLabel()->click();
        QPointer<TimeSheet> times = qobject_cast<TimeSheet*>(calendarScreen.write()->sheet());
        QVERIFY(times);
        QCOMPARE(times->editor()->time(), QTime(9, 5));
        times->editor()->setTime(QTime(18, 45));
        times->clickButtonAtIndex(times->cancelButtonIndex());
        QTRY_VERIFY(!times);
        QCOMPARE(calendar->getCalendarSaveVO().cal_end, std::string("18:45"));
        QCOMPARE(calendar->getCalendarSaveVO().cal_start, std::string("09:05"));
    }

    // Return breaks the line of a text, and pasted line breaks stay: the screen, the draft and
    // the record hold what was typed, in every editor.
    void returnKeyBreaksTheLine_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("diary") << "diary";
        QTest::newRow("calendar") << "calendar";
        QTest::newRow("email") << "email";
        QTest::newRow("message") << "message";
    }
    void returnKeyBreaksTheLine() {
        QFETCH(QString, kind);
        WriteEnvironment env;
        WriteScreen screen(kind.toStdString(), {person("3", "张三")});
        QVERIFY(screen.activate());
        auto* text = screen.write()->view()->findChild<QPlainTextEdit*>();
        QVERIFY(text);
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Body line one"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("after return"));
        QVERIFY(text->hasFocus());
        QGuiApplication::clipboard()->setText(QStringLiteral("\nc\nd"));
        text->paste();
        const QString typed = QStringLiteral("Body line one\nafter return\nc\nd");
        QCOMPARE(text->toPlainText(), typed);
        screen.write()->flushDraft();
        QCOMPARE(screen.write()->draftStore()->load()->value(QStringLiteral("content")).toString(),
                 typed);
    }

    // Without an on-screen keyboard, editing moves the editor only when the field reaches below
    // the screen, just far enough and with no empty band under it; a tap beside the fields ends
    // editing and brings it back.
    void editingKeepsTheFieldInSight_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("pictures");
        QTest::newRow("diary title") << "diary"
                                     << "title" << 0;
        QTest::newRow("diary text") << "diary"
                                    << "text" << 0;
        QTest::newRow("calendar text") << "calendar"
                                       << "text" << 0;
        QTest::newRow("e-mail subject") << "email"
                                        << "subject" << 0;
        QTest::newRow("e-mail text") << "email"
                                     << "text" << 0;
        QTest::newRow("e-mail text below pictures") << "email"
                                                    << "text" << 2;
    }
    void editingKeepsTheFieldInSight() {
        QFETCH(QString, kind);
        QFETCH(QString, field);
        QFETCH(int, pictures);
        WriteEnvironment env;
        WriteScreen screen(kind.toStdString());
        QVERIFY(screen.activate());
        WriteEditor* editor = screen.write()->editor();
        for (int i = 0; i < pictures; ++i) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::blue);
            screen.write()->didFinishPickingImage(picture);
        }
        QWidget* target = editor->findChild<TextView*>();
        if (field == QLatin1String("title")) {
            target = screen.write()->diary_view()->titleField();
        } else if (field == QLatin1String("subject")) {
            for (TextField* one : editor->findChildren<TextField*>()) {
                if (one->placeholderText() == QStringLiteral("请输入邮件主题")) {
                    target = one;
                }
            }
        }
        QWidget* host = editor->parentWidget();
        auto inHost = [&] { return QRect(target->mapTo(host, QPoint(0, 0)), target->size()); };
        const QRect atRest = editor->geometry();
        const bool inSight = inHost().bottom() <= atRest.bottom();

        auto* text = qobject_cast<TextView*>(target);
        QTest::mouseClick(text ? text->viewport() : target, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(target->hasFocus());
        QTest::qWait(400);
        if (inSight) {
            QCOMPARE(editor->y(), 0);
        } else {
            QVERIFY(editor->y() < 0);
            QVERIFY(inHost().top() >= 0 && inHost().bottom() <= atRest.bottom());
            QVERIFY(inHost().bottom() >= atRest.bottom() - 20);
        }
        QCOMPARE(editor->geometry().bottom(), atRest.bottom());

        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!target->hasFocus());
        QTRY_COMPARE(editor->geometry(), atRest);
    }

    void calendarDefaultsAreSentUntouched() {
        WriteEnvironment env;
        WriteScreen screen("calendar");
        CalendarWriteView* calendar = screen.write()->calendar_view();
        QVERIFY(calendar);
        const CalendarSaveVO expected{"09:05", "09:05", "0", "1", ""};
        QCOMPARE(calendar->getCalendarSaveVO(), expected);
        calendar->segmentedControlChangedValue(1);
        QCOMPARE(calendar->getCalendarSaveVO().cal_type, std::string("2"));
        calendar->segmentedControlChangedValue(0);
        QCOMPARE(calendar->getCalendarSaveVO().cal_type, std::string("1"));
        calendar->setTime(1, QTime(17, 30));
        QCOMPARE(calendar->getCalendarSaveVO().cal_end, std::string("17:30"));
        QCOMPARE(calendar->getCalendarSaveVO().cal_start, std::string("09:05"));
    }

    // A priority chosen from the list is shown and sent; cancelling the list later keeps it.
    void calendarPriorityThenCancel() {
        WriteEnvironment env;
        WriteScreen screen("calendar");
        CalendarWriteView* calendar = screen.write()->calendar_view();
        calendar->showLevelView();
        QPointer<LeveyPopListView> list = calendar->levelList();
        QVERIFY(list);
        QCOMPARE(list->title(), QStringLiteral("请选择优先级"));
        QCOMPARE(list->options().size(), 5);
        list->select(4);
        QCOMPARE(calendar->levelButton()->text(), QStringLiteral("不重要/不紧急"));
        QCOMPARE(calendar->getCalendarSaveVO().cal_leve, std::string("4"));
        QTRY_VERIFY(!list);

        calendar->showLevelView();
        list = calendar->levelList();
        QVERIFY(list);
        list->cancel();
        QCOMPARE(calendar->levelButton()->text(), QStringLiteral("不重要/不紧急"));
        QCOMPARE(calendar->getCalendarSaveVO().cal_leve, std::string("4"));
    }

    void emailRecipientIdsInChoosingOrder() {
        WriteEnvironment env;
        WriteScreen screen("email");
        EmailWriteView* email = screen.write()->email_view();
        QVERIFY(email);
        QCOMPARE(screen.write()->name(), QStringLiteral("发送"));
        email->loadScrollView(email->user_scroll1(),
                              {person("3", "张三"), person("15", "李四"), person("7", "王五")});
        email->setSubject(QStringLiteral("周会"));
        const std::optional<EmailSaveVO> record = email->getEmailSaveVO();
        QVERIFY(record);
        QCOMPARE(record->to_id, std::string("3,15,7"));
        QCOMPARE(record->cs_id, std::string(""));
        QCOMPARE(record->subject, std::string("周会"));
    }

    // A new choice replaces the strip; a tap on a name removes that person and renumbers.
    void emailStripsReplaceAndRemove() {
        WriteEnvironment env;
        WriteScreen screen("email");
        EmailWriteView* email = screen.write()->email_view();
        email->loadScrollView(email->user_scroll1(), {person("3", "张三"), person("15", "李四")});
        email->loadScrollView(email->user_scroll1(), {person("8", "赵六"), person("9", "钱七")});
        QCOMPARE(email->getEmailSaveVO()->to_id, std::string("8,9"));
        QCOMPARE(stripNames(email->user_scroll1(), 400, 3),
                 QStringList({QStringLiteral("赵六"), QStringLiteral("钱七")}));

        email->loadScrollView(email->user_scroll2(),
                              {person("3", "张三"), person("15", "李四"), person("7", "王五")});
        auto* second = viewWithTag<QPushButton>(email->user_scroll2(), 501);
        QVERIFY(second);
        second->click();
        QCOMPARE(email->getEmailSaveVO()->cs_id, std::string("3,7"));
        QCOMPARE(stripNames(email->user_scroll2(), 500, 3),
                 QStringList({QStringLiteral("张三"), QStringLiteral("王五")}));
        QCOMPARE(email->getEmailSaveVO()->to_id, std::string("8,9"));
    }

    // Without a recipient nothing is sent, whatever else is filled in.
    void emailWithoutRecipientIsRefused() {
        WriteEnvironment env;
        WriteScreen screen("email");
        EmailWriteView* email = screen.write()->email_view();
        email->setWebmail(QStringLiteral("someone@example.org"));
        email->loadScrollView(email->user_scroll2(), {person("3", "张三")});
        QVERIFY(!email->getEmailSaveVO());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("无收信人"));
        screen.write()->saveInfo();
        QVERIFY(!screen.write()->isSubmitting());
        QVERIFY(screen.write()->rightButton()->isEnabled());
        QVERIFY(screen.isOpen());
    }

    void replyOpensWithItsRecipients() {
        WriteEnvironment env;
        WriteScreen screen("email", {person("3", "张三")});
        EmailWriteView* email = screen.write()->email_view();
        QCOMPARE(email->user_arr1().size(), std::size_t(1));
        QVERIFY(email->user_arr2().empty());
        QCOMPARE(email->getEmailSaveVO()->to_id, std::string("3"));
        QCOMPARE(stripNames(email->user_scroll1(), 400, 1), QStringList({QStringLiteral("张三")}));
    }

    // The picture menu offers the camera and the album; cancelling it changes nothing.
    void pictureMenu() {
        WriteEnvironment env;
        WriteScreen screen("diary");
        emit screen.write()->diary_view()->openTheMenu();
        QPointer<ActionSheet> menu = screen.write()->pictureMenu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("图片上传"));
        QCOMPARE(menu->buttonTitleAtIndex(0), QStringLiteral("拍照"));
        QCOMPARE(menu->buttonTitleAtIndex(1), QStringLiteral("用户相册"));
        QCOMPARE(menu->buttonTitleAtIndex(2), QStringLiteral("取消"));
        QCOMPARE(menu->cancelButtonIndex(), 2);
        menu->clickButtonAtIndex(2);
        QTRY_VERIFY(!menu);
        QVERIFY(screen.write()->editor()->pictureFiles().empty());
        QVERIFY(screen.isOpen());
    }

    // Both bar buttons are there, also where the stack's back button was hidden; an unknown key
    // gets no editor and an untitled button.
    void barButtons() {
        WriteEnvironment env;
        WriteScreen screen("diary");
        QVERIFY(screen.write()->backButton());
        QCOMPARE(screen.write()->backButton()->text(), QStringLiteral("  返回"));
        QCOMPARE(screen.write()->rightButton()->text(), QStringLiteral("保存"));
        QCOMPARE(screen.write()->editor()->geometry(), QRect(0, 0, 320, 480 - 64));
        WriteScreen tall("calendar", {}, {320, 568});
        QCOMPARE(tall.write()->editor()->geometry(), QRect(0, 0, 320, 568 - 64));
        WriteScreen other("weather");
        QVERIFY(!other.write()->editor());
        QVERIFY(other.write()->rightButton()->text().isEmpty());
    }
};

}  // namespace oa

OA_QT_TEST(EditorsTest)
#include "EditorsTest.moc"

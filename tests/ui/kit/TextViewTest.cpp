// The multi-line text view: every change the user makes passes the hook (so an editor can turn
// the return key into the end of editing), code changes do not, and editing begins and ends as
// the user does it.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/TextView.h"

namespace oa {

namespace {

struct Form {
    QWidget window;
    TextView* text;
    QLineEdit* other;
    QStringList asked;

    Form() {
        window.resize(320, 200);
        text = new TextView(&window);
        text->setGeometry(10, 10, 300, 100);
        other = new QLineEdit(&window);
        other->setGeometry(10, 150, 300, 30);
        window.show();
        QApplication::setActiveWindow(&window);
        // The window gave its first field the focus on its own; the tests start from none.
        if (QWidget* focus = QApplication::focusWidget()) {
            focus->clearFocus();
        }
    }
    // Records what is asked; refuses "\n" by ending editing, as the editors do.
    void endOnReturn() {
        text->setShouldChangeText(
            [this](TextView* view, int position, int length, const QString& replacement) {
                asked.append(QStringLiteral("%1,%2,%3").arg(position).arg(length).arg(replacement));
                if (replacement == "\n") {
                    TextView::endEditing(&window);
                    return false;
                }
                return view == text;
            });
    }
};

}  // namespace

class TextViewTest : public QObject {
    Q_OBJECT

private slots:
    void returnEndsEditingInsteadOfANewLine() {
        Form form;
        form.endOnReturn();
        QSignalSpy began(form.text, &TextView::didBeginEditing);
        QSignalSpy ended(form.text, &TextView::didEndEditing);
        QTest::mouseClick(form.text->viewport(), Qt::LeftButton);
        QCOMPARE(began.count(), 1);
        QVERIFY(form.text->isEditing());
        QTest::keyClicks(form.text, "ab");
        QTest::keyClick(form.text, Qt::Key_Return);
        QCOMPARE(form.text->text(), QString("ab"));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form.text->hasFocus());
        QVERIFY(!form.text->isEditing());
        QCOMPARE(form.asked, QStringList({"0,0,a", "1,0,b", "2,0,\n"}));
        // Enter on the keypad too.
        form.text->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(form.text, Qt::Key_Enter);
        QCOMPARE(form.text->text(), QString("ab"));
        QCOMPARE(ended.count(), 2);
    }

    void withoutAHookReturnIsANewLine() {
        Form form;
        form.text->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(form.text, "ab");
        QTest::keyClick(form.text, Qt::Key_Return);
        QTest::keyClicks(form.text, "c");
        QCOMPARE(form.text->text(), QString("ab\nc"));
    }

    void deletingPastingAndInputMethodTextAreAsked() {
        Form form;
        bool refuse = false;
        QStringList asked;
        form.text->setShouldChangeText([&](TextView*, int position, int length,
                                           const QString& replacement) {
            asked.append(QStringLiteral("%1,%2,[%3]").arg(position).arg(length).arg(replacement));
            return !refuse;
        });
        // Text set from code is not asked, even while the hook refuses everything.
        refuse = true;
        form.text->setText("工作日志");
        QCOMPARE(form.text->text(), QString("工作日志"));
        QVERIFY(asked.isEmpty());

        form.text->setFocus(Qt::MouseFocusReason);
        form.text->moveCursor(QTextCursor::End);
        QTest::keyClick(form.text, Qt::Key_Backspace);
        QCOMPARE(form.text->text(), QString("工作日志"));
        QApplication::clipboard()->setText("内容");
        QTest::keySequence(form.text, QKeySequence::Paste);
        QCOMPARE(form.text->text(), QString("工作日志"));
        QInputMethodEvent chinese;
        chinese.setCommitString("你好");
        QApplication::sendEvent(form.text, &chinese);
        QCOMPARE(form.text->text(), QString("工作日志"));
        form.text->moveCursor(QTextCursor::Start);
        QTest::keyClick(form.text, Qt::Key_Delete);
        form.text->selectAll();
        QTest::keySequence(form.text, QKeySequence::Cut);
        QCOMPARE(form.text->text(), QString("工作日志"));
        QCOMPARE(asked, QStringList({"3,1,[]", "4,0,[内容]", "4,0,[你好]", "0,1,[]", "0,4,[]"}));

        // Allowed, the same edits happen.
        refuse = false;
        asked.clear();
        form.text->moveCursor(QTextCursor::End);
        QTest::keyClick(form.text, Qt::Key_Backspace);
        QTest::keySequence(form.text, QKeySequence::Paste);
        QApplication::sendEvent(form.text, &chinese);
        QCOMPARE(form.text->text(), QString("工作日内容你好"));
        // A deletion with nothing to delete is no change.
        form.text->moveCursor(QTextCursor::Start);
        QTest::keyClick(form.text, Qt::Key_Backspace);
        QCOMPARE(asked.size(), 3);
    }

    void editingFollowsTheUserNotTheWindow() {
        Form form;
        QSignalSpy began(form.text, &TextView::didBeginEditing);
        QSignalSpy ended(form.text, &TextView::didEndEditing);
        form.text->setFocus(Qt::TabFocusReason);
        QCOMPARE(began.count(), 1);
        // A pop-up (a sheet's calendar) takes the focus and gives it back: still editing.
        QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(form.text, &out);
        QFocusEvent in(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(form.text, &in);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(began.count(), 1);
        QVERIFY(form.text->isEditing());

        // Another field takes over: editing ends once.
        form.other->setFocus(Qt::MouseFocusReason);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form.text->isEditing());

        // The window hands the focus back without the user: nothing begins until a key.
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(form.text, &back);
        QCOMPARE(began.count(), 1);
        QTest::keyClick(form.text, Qt::Key_A);
        QCOMPARE(began.count(), 2);
    }

    void endEditingLooksOnlyUnderItsRoot() {
        Form form;
        QWidget elsewhere;
        QVERIFY(!TextView::endEditing(&form.window));  // nothing has the focus
        form.text->setFocus(Qt::MouseFocusReason);
        QVERIFY(!TextView::endEditing(&elsewhere));
        QVERIFY(form.text->hasFocus());
        QVERIFY(TextView::endEditing(&form.window));
        QVERIFY(!form.text->hasFocus());
        // A one-line field under the root ends too.
        form.other->setFocus(Qt::MouseFocusReason);
        QVERIFY(TextView::endEditing(&form.window));
        QVERIFY(!form.other->hasFocus());
    }
};

}  // namespace oa

OA_KIT_TEST(TextViewTest)
#include "TextViewTest.moc"

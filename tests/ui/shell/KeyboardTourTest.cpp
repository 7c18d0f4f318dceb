// The client without a mouse: signing in, opening a module, walking and opening its rows, going
// back, refreshing, writing, leaving and sending, each by keys pressed where the focus is.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "ShellTest.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/MyImageView.h"
#include "ui/controller/main/MyView.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/message/UIInputToolbar.h"
#include "ui/controller/write/DiaryWriteView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/FocusRing.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/PullingRefreshTableView.h"
#include "ui/kit/TextField.h"
#include "ui/kit/TextView.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"

namespace oa {

namespace {

constexpr int kReplyMs = 15000;

QWidget* focused() {
    return QApplication::focusWidget();
}

// A key pressed as the keyboard would: to whatever has the focus.
void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = focused();
    QTest::keyClick(target ? target : window, key, modifiers);
}

// Tab until `target` has the focus; false when a whole round of the window did not reach it.
bool tabTo(QWidget* window, const QWidget* target) {
    for (int i = 0; i < 40 && focused() != target; ++i) {
        press(window, Qt::Key_Tab);
    }
    return focused() == target;
}

MyView* moduleCell(IndexController* index, const std::string& title) {
    for (MyView* cell : index->home_view()->findChildren<MyView*>()) {
        if (cell->func_title() == title) {
            return cell;
        }
    }
    return nullptr;
}

// The ring of the table's current row sits over that row.
bool ringOnCurrentRow(TableView* table) {
    const auto* ring = table->findChild<FocusRingView*>();
    const std::optional<IndexPath> row = table->currentRow();
    if (!ring || !ring->isVisible() || !row) {
        return false;
    }
    const QRectF r = table->rectForRowAtIndexPath(*row);
    return ring->geometry().top() == qRound(r.top() - table->contentOffset());
}

}  // namespace

class KeyboardTourTest : public QObject {
    Q_OBJECT

private slots:
    void walksTheScreensByKeysOnly() {
        shell::Environment env;
        shell::Environment::storeDemoSettings();
        shell::Screen screen;
        QWidget* window = screen.window();
        QVERIFY(QTest::qWaitForWindowActive(window));
        LoginView* form = screen.login()->loginView();

        // Sign in: name, password, the environment from its list, "确  认".
        QVERIFY(tabTo(window, form->field(LoginView::kNameTag)));
        QTest::keyClicks(focused(), "wangjianguo");
        press(window, Qt::Key_Tab);
        QCOMPARE(focused(), form->field(LoginView::kPasswordTag));
        QTest::keyClicks(focused(), "123456");
        auto* chooser = form->findChild<QPushButton*>("chooserButton");
        QVERIFY(tabTo(window, chooser));
        press(window, Qt::Key_Space);
        QVERIFY(form->choiceView());
        QVERIFY(form->choiceView()->isAncestorOf(focused()));
        press(window, Qt::Key_Return);
        QCOMPARE(form->field(LoginView::kAddressTag)->text().toStdString(),
                 shell::demoServerAddress());
        QTRY_COMPARE(focused(), chooser);
        QVERIFY(tabTo(window, form->confirmButton()));
        press(window, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), kReplyMs);
        auto* index = screen.topAs<IndexController>();
        press(window, Qt::Key_Escape);  // nothing to go back to
        QCOMPARE(screen.top(), index);

        // The e-mail list: rows by arrows and pages, one opened and left again.
        QVERIFY(tabTo(window, moduleCell(index, "电子邮件")));
        press(window, Qt::Key_Return);
        auto* list = screen.topAs<FuncController>();
        QVERIFY(list);
        PullingRefreshTableView* table = list->tableView();
        QTRY_VERIFY_WITH_TIMEOUT(!table->isLoading() && table->numberOfRowsInSection(0) > 2,
                                 kReplyMs);
        QCOMPARE(focused(), table);
        press(window, Qt::Key_Down);
        QCOMPARE(table->currentRow(), std::optional(IndexPath{0, 0}));
        press(window, Qt::Key_Down);
        QCOMPARE(table->currentRow(), std::optional(IndexPath{0, 1}));
        QVERIFY(ringOnCurrentRow(table));
        press(window, Qt::Key_PageDown);
        QVERIFY(table->currentRow()->row > 1);
        press(window, Qt::Key_Home);
        QCOMPARE(table->currentRow(), std::optional(IndexPath{0, 0}));
        press(window, Qt::Key_Return);
        QVERIFY(qobject_cast<DetailController*>(screen.top()));
        press(window, Qt::Key_Escape);
        QCOMPARE(screen.top(), list);
        QCOMPARE(focused(), table);
        QVERIFY(ringOnCurrentRow(table));

        press(window, Qt::Key_R, Qt::ControlModifier);  // pulls the header open, then loads
        QTRY_VERIFY(table->isLoading());
        QTRY_VERIFY_WITH_TIMEOUT(!table->isLoading(), kReplyMs);
        press(window, Qt::Key_Escape);
        QCOMPARE(screen.top(), index);

        // 微讯 by its tab, where Ctrl+N writes a message; nothing written, Escape just leaves.
        QVERIFY(tabTo(window, index->bottom_view()->item("message")));
        press(window, Qt::Key_Space);
        QVERIFY(index->message_view()->isVisible());
        press(window, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(screen.topAs<WriteController>());
        press(window, Qt::Key_Escape);
        QCOMPARE(screen.top(), index);
        // A conversation opened by keys takes typing in its input field at once.
        PullingRefreshTableView* conversations = index->message_view()->tableView();
        QTRY_VERIFY_WITH_TIMEOUT(!index->message_view()->list().empty(), kReplyMs);
        QVERIFY(tabTo(window, conversations));
        press(window, Qt::Key_Down);
        press(window, Qt::Key_Return);
        QTRY_VERIFY(screen.topAs<MessageController>());
        QWidget* input = screen.topAs<MessageController>()->inputToolbar()->textView();
        QTRY_COMPARE(focused(), input);
        QTest::keyClicks(focused(), "typed at once");
        QCOMPARE(qobject_cast<QPlainTextEdit*>(input)->toPlainText(), QString("typed at once"));
        press(window, Qt::Key_Return, Qt::ControlModifier);
        auto lastBubble = [&screen] {
            const auto* dialog = screen.topAs<MessageController>();
            return dialog && !dialog->bubbleData().empty() ? dialog->bubbleData().back()->text()
                                                           : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(lastBubble(), QString("typed at once"), kReplyMs);
        QCOMPARE(qobject_cast<QPlainTextEdit*>(input)->toPlainText(), QString());
        press(window, Qt::Key_Escape);
        QCOMPARE(screen.top(), index);
        QVERIFY(tabTo(window, index->bottom_view()->item("home")));
        press(window, Qt::Key_Return);
        QVERIFY(index->home_view()->isVisible());

        // The diary: a new one, the leave question kept off by Escape, then sent.
        QVERIFY(tabTo(window, moduleCell(index, "工作日志")));
        press(window, Qt::Key_Space);
        auto* diaries = screen.topAs<FuncController>();
        QVERIFY(diaries);
        QTRY_VERIFY_WITH_TIMEOUT(!diaries->tableView()->isLoading(), kReplyMs);
        press(window, Qt::Key_N, Qt::ControlModifier);
        auto* write = screen.topAs<WriteController>();
        QVERIFY(write);
        QVERIFY(write->view()->isAncestorOf(focused()));
        TextView* content = write->diary_view()->contentView();
        QVERIFY(tabTo(window, content));
        QTest::keyClicks(focused(), "written by keys");
        press(window, Qt::Key_Tab);  // moves on, writes no tab
        QCOMPARE(content->toPlainText(), QString("written by keys"));
        QVERIFY(tabTo(window, content));
        press(window, Qt::Key_Escape);
        QVERIFY(write->leaveSheet());
        QCOMPARE(focused(), write->leaveSheet());
        press(window, Qt::Key_Escape);
        QTRY_VERIFY(!write->leaveSheet());
        QCOMPARE(screen.top(), write);
        QTRY_COMPARE(focused(), content);

        press(window, Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(screen.top(), diaries, kReplyMs);
        QCOMPARE(ProgressHUD::status(), QString("成功"));
        QCOMPARE(focused(), diaries->tableView());
    }
};

}  // namespace oa

OA_SHELL_TEST(KeyboardTourTest)

#include "KeyboardTourTest.moc"

// The dialog screen against a loopback server: order, kinds and sides of the bubbles, the
// indicator of the first load, failed loads and error pages that keep the conversation, the
// last-started load winning, sends (and the text of a failed one coming back), push notices,
// leaving during a held load, the keyboard and the input bar.
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "DialogServer.h"
#include "core/platform/NotificationCenter.h"
#include "core/push/UDPListener.h"
#include "core/transport/ASIFormDataRequest.h"
#include "core/transport/ASIHTTPRequestDelegate.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/UIBubbleTableView.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/message/UIInputToolbar.h"
#include "ui/kit/CheckBox.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using dialog::DialogServer;
using dialog::record;

// The dialog opened for person "7", sized as the navigation stack sizes it and shown.
struct Dialog {
    Dialog() : controller(std::make_unique<MessageController>()) {
        controller->setQ_id("7");
        controller->setQ_name("吴强");
        loads = std::make_unique<QSignalSpy>(controller.get(), &MessageController::loadFinished);
        sends = std::make_unique<QSignalSpy>(controller.get(), &MessageController::sendFinished);
        pushes = std::make_unique<QSignalSpy>(controller.get(), &MessageController::pushHandled);
        controller->beginAppearanceTransition(true, false);
        controller->view()->resize(320, 436);
        controller->view()->show();
        controller->endAppearanceTransition();
    }
    ~Dialog() {
        controller.reset();
        dialog::drain();
    }
    void leave() {
        controller->beginAppearanceTransition(false, false);
        controller->endAppearanceTransition();
    }
    bool waitLoads(int count) {
        QElapsedTimer clock;
        clock.start();
        while (loads->count() < count && clock.elapsed() < 15000) {
            QTest::qWait(5);
        }
        return loads->count() == count;
    }
    bool lastLoadOk() const { return loads->last().at(0).toBool(); }
    QStringList texts() const {
        QStringList out;
        for (const auto& bubble : controller->bubbleData()) {
            out << (bubble->isVoice() ? "voice:" + bubble->duration() : bubble->text());
        }
        return out;
    }
    UIInputToolbar* bar() const { return controller->inputToolbar(); }

    std::unique_ptr<MessageController> controller;
    std::unique_ptr<QSignalSpy> loads;
    std::unique_ptr<QSignalSpy> sends;
    std::unique_ptr<QSignalSpy> pushes;
};

// Another screen's request in the shared queue.
struct OtherScreen : ASIHTTPRequestDelegate {
    int finished = 0;
    void requestFinished(ASIHTTPRequest&) override { ++finished; }
    void requestFailed(ASIHTTPRequest&) override { ++finished; }
};

}  // namespace

class DialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        dialog::drain();
        ProgressHUD::resetForTesting();
        GlobalVar::getInstance_global().resetForTesting();
    }

    // A, B, C in the reply: C on top, A at the bottom and selected; the partner's ("0") on the
    // left, the user's on the right; a voice record as a voice bubble. The request carries the
    // partner's id; "加载中..." shows for the first load only.
    void loadOrdersKindsAndSides() {
        DialogServer server;
        server.setDialog(200, "[" + record("A", "1") + "," + record("", "0", "1", "4", "v1") + "," +
                                  record("C", "0") + "]");
        Dialog d;
        QCOMPARE(d.controller->title(), QString("与 <吴强> 的对话"));
        QCOMPARE(ProgressHUD::status(), QString("加载中..."));
        QVERIFY(d.waitLoads(1));
        QVERIFY(d.lastLoadOk());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QCOMPARE(d.texts(), QStringList({"C", "voice:4", "A"}));
        const auto& bubbles = d.controller->bubbleData();
        QCOMPARE(bubbles[0]->type(), int(NSBubbleData::SomeoneElse));
        QCOMPARE(bubbles[1]->type(), int(NSBubbleData::SomeoneElse));
        QCOMPARE(bubbles[1]->attachment_id(), QString("v1"));
        QCOMPARE(bubbles[2]->type(), int(NSBubbleData::Mine));
        QVERIFY(!bubbles[2]->isVoice());
        UIBubbleTableView* table = d.controller->bubbleTable();
        QCOMPARE(table->numberOfSections(), 3);
        QCOMPARE(table->indexPathForSelectedRow(), std::optional<IndexPath>(IndexPath{2, 0}));
        const auto dialogs = server.matching("ATYPE", "getDialogList");
        QCOMPARE(dialogs.size(), size_t(1));
        QCOMPARE(dialog::field(dialogs[0], "Q_ID"), std::string("7"));
        QCOMPARE(dialog::field(dialogs[0], "P"), std::string("S"));

        // A reload does not show the indicator again.
        d.controller->clickToRefresh();
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QVERIFY(d.waitLoads(2));
    }

    // A long conversation ends scrolled to its bottom bubble.
    void longConversationEndsAtTheBottom() {
        DialogServer server;
        std::string body = "[";
        for (int i = 0; i < 40; ++i) {
            body += (i ? "," : "") + record("m" + std::to_string(i), i % 2 ? "0" : "1");
        }
        server.setDialog(200, body + "]");
        Dialog d;
        QVERIFY(d.waitLoads(1));
        UIBubbleTableView* table = d.controller->bubbleTable();
        QCOMPARE(d.texts().first(), QString("m39"));
        QCOMPARE(d.texts().last(), QString("m0"));
        QTRY_VERIFY(table->indexPathsForVisibleRows().contains(IndexPath{39, 0}));
        QVERIFY(!table->indexPathsForVisibleRows().contains(IndexPath{0, 0}));
    }

    // A failed exchange, a server error and an error page neither a JSON array nor an
    // empty-page word: "获取微讯失败", and the conversation stays. "NONEWDATA" is an empty
    // conversation.
    void failuresKeepTheTimeline() {
        DialogServer server;
        server.setDialog(200, "[" + record("A", "1") + "]");
        Dialog d;
        QVERIFY(d.waitLoads(1));
        QCOMPARE(d.texts(), QStringList({"A"}));

        server.setDialog(500, "[]");
        d.controller->clickToRefresh();
        QVERIFY(d.waitLoads(2));
        QVERIFY(!d.lastLoadOk());
        QCOMPARE(ProgressHUD::status(), QString("获取微讯失败"));
        QCOMPARE(d.texts(), QStringList({"A"}));

        server.setDialog(200, "<html><body>Fatal error</body></html>");
        d.controller->clickToRefresh();
        QVERIFY(d.waitLoads(3));
        QVERIFY(!d.lastLoadOk());
        QCOMPARE(d.texts(), QStringList({"A"}));
        QCOMPARE(d.controller->bubbleTable()->numberOfSections(), 1);

        server.setDialog(200, "NONEWDATA");
        d.controller->clickToRefresh();
        QVERIFY(d.waitLoads(4));
        QVERIFY(d.lastLoadOk());
        QVERIFY(d.texts().isEmpty());
        QCOMPARE(d.controller->bubbleTable()->numberOfSections(), 0);
    }

    // A load started while another is pending replaces it: the older reply, coming later, is
    // never shown.
    void lastStartedLoadWins() {
        DialogServer server;
        server.holdNextDialog("[" + record("old", "1") + "]");
        server.setDialog(200, "[" + record("new", "1") + "]");
        Dialog d;
        // The held request has been read: the next one is answered at once.
        QVERIFY(server.server.waitForRequests(1));
        d.controller->clickToRefresh();
        QVERIFY(d.waitLoads(1));
        QCOMPARE(d.texts(), QStringList({"new"}));
        server.server.release();
        dialog::drain();
        QTest::qWait(50);
        QCOMPARE(d.loads->count(), 1);
        QCOMPARE(d.texts(), QStringList({"new"}));
    }

    // The send button follows the field, fires on press and clears it; the sent text reaches
    // the server and shows after the reload. A failed send says so and puts the text back.
    void sendsAndAFailedSend() {
        DialogServer server;
        server.setDialog(200, "[]");
        Dialog d;
        QVERIFY(d.waitLoads(1));
        QPushButton* send = d.bar()->inputButton();
        QVERIFY(!send->isEnabled());
        d.bar()->textView()->setText("你好");
        QVERIFY(send->isEnabled());
        server.setDialog(200, "[" + record("你好", "1") + "]");
        QTest::mousePress(send, Qt::LeftButton);
        QCOMPARE(d.bar()->textView()->text(), QString());
        QVERIFY(!send->isEnabled());
        QTRY_COMPARE(d.sends->count(), 1);
        QVERIFY(d.sends->last().at(0).toBool());
        QVERIFY(d.waitLoads(2));
        QCOMPARE(d.texts(), QStringList({"你好"}));
        const auto sent = server.matching("ATYPE", "sendSignleMsg");
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(dialog::field(sent[0], "Q_UID"), std::string("7"));
        QCOMPARE(dialog::field(sent[0], "CONTENT"), std::string("你好"));
        QTest::mouseRelease(send, Qt::LeftButton);

        server.setSendStatus(500);
        d.bar()->textView()->setText("lost?");
        d.bar()->inputButtonPressed();
        QCOMPARE(d.bar()->textView()->text(), QString());
        QTRY_COMPARE(d.sends->count(), 2);
        QVERIFY(!d.sends->last().at(0).toBool());
        QCOMPARE(ProgressHUD::status(), QString("发送失败"));
        QCOMPARE(d.bar()->textView()->text(), QString("lost?"));
        QVERIFY(d.waitLoads(3));
    }

    // A push notice names no sender: the conversation reloads only when the list shows unread
    // messages of the partner (the dialog's loads mark them read), whatever the newest message
    // sent to the user is. A partner's voice message shows as voice.
    void pushNoticesOfThePartnerOnly() {
        DialogServer server;
        server.setDialog(200, "[" + record("A", "1") + "]");
        Dialog d;
        QVERIFY(d.waitLoads(1));

        server.setNewest(record("from someone else", "0"));
        server.setUnread({{"5", 1}, {"7", 0}});
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QTRY_COMPARE(d.pushes->count(), 1);
        QVERIFY(!d.pushes->last().at(0).toBool());
        dialog::drain();
        QCOMPARE(server.count("ATYPE", "getDialogList"), 1);

        server.setUnread({{"5", 1}, {"7", 2}});
        server.setDialog(200, "[" + record("A", "1") + "," + record("", "0", "1", "3", "v9") + "]");
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QTRY_COMPARE(d.pushes->count(), 2);
        QVERIFY(d.pushes->last().at(0).toBool());
        QVERIFY(d.waitLoads(2));
        QCOMPARE(d.texts(), QStringList({"voice:3", "A"}));
    }

    // The reload a partner's message brings keeps a conversation scrolled up where it is, and
    // one at its bottom at the new bottom.
    void pushKeepsTheScrollPositionUnlessAtTheBottom() {
        DialogServer server;
        std::string body = "[";
        for (int i = 0; i < 40; ++i) {
            body += (i ? "," : "") + record("m" + std::to_string(i), "0");
        }
        server.setDialog(200, body + "]");
        Dialog d;
        QVERIFY(d.waitLoads(1));
        UIBubbleTableView* table = d.controller->bubbleTable();
        QTRY_COMPARE(table->contentOffset(), table->maximumContentOffset());
        table->setContentOffset(100);

        server.setDialog(200, "[" + record("new", "0") + "," + body.substr(1) + "]");
        server.setNewest(record("new", "0"));
        server.setUnread({{"7", 1}});
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QVERIFY(d.waitLoads(2));
        QTest::qWait(400);
        QCOMPARE(table->contentOffset(), 100.0);

        table->setContentOffset(table->maximumContentOffset());
        server.setDialog(200, "[" + record("newer", "0") + "," + record("new", "0") + "," +
                                  body.substr(1) + "]");
        NotificationCenter::defaultCenter().post(UDPListener::kMessageUdpResult);
        QVERIFY(d.waitLoads(3));
        QTRY_COMPARE(table->contentOffset(), table->maximumContentOffset());
        QVERIFY(table->indexPathsForVisibleRows().contains(IndexPath{41, 0}));
    }

    // The title names the partner in full beside the back and refresh buttons; a three-line
    // input field shows no scroll bar.
    void titleAndInputFieldFit() {
        DialogServer server;
        Window window(QSize(320, 480));
        auto* root = new ViewController;
        auto* nav = new NavigationController(root);
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
        auto* dialog = new MessageController;
        dialog->setQ_id("7");
        dialog->setQ_name("赵磊");
        nav->pushViewController(dialog, false);
        QSignalSpy loads(dialog, &MessageController::loadFinished);
        QTRY_COMPARE(loads.count(), 1);
        // The bar draws its title elided to the width it gives it.
        const QString title = dialog->title();
        QCOMPARE(title, QStringLiteral("与 <赵磊> 的对话"));
        const QRect box = nav->navigationBar()->titleRect();
        QCOMPARE(QFontMetrics(boldSystemFont(20)).elidedText(title, Qt::ElideRight, box.width()),
                 title);
        QVERIFY(box.left() > dialog->leftBarButtonItem()->geometry().right());
        QVERIFY(box.right() < dialog->rightBarButtonItem()->geometry().left());

        UIExpandingTextView* field = dialog->inputToolbar()->textView();
        field->setFocus();
        QTest::keyClicks(field, "a");
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, "b");
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, "c");
        QTRY_COMPARE(field->height(), field->fittingHeight());
        QCOMPARE(field->verticalScrollBar()->maximum(), 0);
        nav->popViewController(false);
        dialog::drain();
    }

    // Leaving while the load is held: no callback, the indicator goes, and another screen's
    // queued request is not cancelled with it.
    void leavingDuringAHeldLoad() {
        DialogServer server;
        server.holdNextDialog("[" + record("late", "1") + "]");
        Dialog d;
        // The held request has been read: the next one is answered at once.
        QVERIFY(server.server.waitForRequests(1));
        QVERIFY(d.controller->isLoading());
        OtherScreen other;
        auto request =
            ASIFormDataRequest::requestWithURL(server.server.url("/mobile/message/data.php"));
        request->setPostValue("ATYPE", "getSingleNewMsg");
        request->setDelegate(&other);
        request->startAsynchronous();

        d.leave();
        QVERIFY(!d.controller->isLoading());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QTRY_COMPARE(other.finished, 1);
        QVERIFY(!request->error().has_value());
        server.server.release();
        dialog::drain();
        QTest::qWait(50);
        QCOMPARE(d.loads->count(), 0);
        QVERIFY(d.texts().isEmpty());
    }

    // The keyboard moves the content up by its height in 0.3 s and back; a tap on the timeline
    // ends editing.
    void keyboardAndTapOnTimeline() {
        DialogServer server;
        server.setDialog(200, "[" + record("A", "1") + "]");
        Dialog d;
        QVERIFY(d.waitLoads(1));
        d.controller->keyboardWillShow(216);
        QVERIFY(d.controller->keyboardIsVisible());
        QTRY_COMPARE(d.controller->contentOffset(), -216);
        d.controller->keyboardWillHide();
        QTRY_COMPARE(d.controller->contentOffset(), 0);

        d.controller->view()->window()->activateWindow();
        d.bar()->textView()->setFocus();
        d.controller->keyboardWillShow(216);
        QTest::mouseClick(d.controller->bubbleTable(), Qt::LeftButton, {}, QPoint(160, 20));
        QVERIFY(!d.controller->keyboardIsVisible());
        QVERIFY(!d.bar()->textView()->hasFocus());
        QTRY_COMPARE(d.controller->contentOffset(), 0);
    }

    // The input bar: 43 high at the bottom; the mode switch swaps the field and the
    // hold-to-talk button; Return makes a line (the bar grows upward), Ctrl+Return sends.
    void inputBar() {
        DialogServer server;
        Dialog d;
        QVERIFY(d.waitLoads(1));
        UIInputToolbar* bar = d.bar();
        QCOMPARE(bar->geometry(), QRect(0, 436 - 43, 320, 43));
        QCOMPARE(d.controller->bubbleTable()->geometry(), QRect(0, 0, 320, 436 - 44));
        QCOMPARE(bar->textView()->placeholderText(), QString("输入信息"));

        QTest::mouseClick(bar->check(), Qt::LeftButton);
        QVERIFY(bar->isVoiceMode());
        QVERIFY(bar->textView()->isHidden());
        QVERIFY(!bar->recordButton()->isHidden());
        QTest::mouseClick(bar->check(), Qt::LeftButton);
        QVERIFY(!bar->isVoiceMode());
        QVERIFY(!bar->textView()->isHidden());
        QVERIFY(bar->recordButton()->isHidden());

        const QRect before = bar->geometry();
        QTest::keyClicks(bar->textView(), "a");
        QTest::keyClick(bar->textView(), Qt::Key_Return);
        QTest::keyClicks(bar->textView(), "b");
        QCOMPARE(bar->textView()->text(), QString("a\nb"));
        QCOMPARE(bar->geometry().bottom(), before.bottom());
        QVERIFY(bar->geometry().top() < before.top());

        QTest::keyClick(bar->textView(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(bar->textView()->text(), QString());
        QCOMPARE(bar->geometry(), before);
        QTRY_COMPARE(d.sends->count(), 1);
        QCOMPARE(dialog::field(server.matching("ATYPE", "sendSignleMsg")[0], "CONTENT"),
                 std::string("a\nb"));
    }
};

OA_QT_TEST(DialogTest)

}  // namespace oa
#include "DialogTest.moc"

// The alert: cancel at index 0 and the others after it, one answer per alert, Escape as cancel,
// a window beneath that takes no taps, and a long message that stays inside the window.
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/AlertView.h"

namespace oa {

namespace {

class Recorder : public AlertViewDelegate {
public:
    void alertView(AlertView* alert, int index) override {
        events.append(QStringLiteral("%1 %2").arg(index).arg(alert->buttonTitleAtIndex(index)));
    }
    QStringList events;
};

class Screen : public QObject, public AlertViewDelegate {
public:
    void alertView(AlertView*, int index) override { chosen.append(index); }
    QList<int> chosen;
};

struct Shown {
    QWidget window;
    Recorder recorder;
    QPointer<AlertView> alert;

    explicit Shown(AlertView* made, QSize size = {320, 480}) : alert(made) {
        window.resize(size);
        window.show();
        alert->setDelegate(&recorder);
        alert->showInView(&window);
    }
    void tapButton(int index) const {
        QTest::mouseClick(alert->buttonAtIndex(index), Qt::LeftButton);
    }
};

AlertView* voicePrompt() {
    return new AlertView("Corvane", "您录制了一段语音是否发送", nullptr, "取消   ", {"确定"});
}

}  // namespace

class AlertViewTest : public QObject {
    Q_OBJECT

private slots:
    void cancelIsZeroAndTheOthersFollow() {
        AlertView prompt("标题", "", nullptr, "取消", {"信任", "查看"});
        QCOMPARE(prompt.numberOfButtons(), 3);
        QCOMPARE(prompt.cancelButtonIndex(), 0);
        QCOMPARE(prompt.firstOtherButtonIndex(), 1);
        QCOMPARE(prompt.buttonTitleAtIndex(0), QString("取消"));
        QCOMPARE(prompt.buttonTitleAtIndex(2), QString("查看"));
        QCOMPARE(prompt.buttonTitleAtIndex(3), QString());

        AlertView notice("提示", "已保存", nullptr, "", {"好"});
        QCOMPARE(notice.cancelButtonIndex(), -1);
        QCOMPARE(notice.firstOtherButtonIndex(), 0);
        QCOMPARE(notice.buttonTitleAtIndex(0), QString("好"));
    }

    void aButtonAnswersOnce() {
        Shown shown(voicePrompt());
        QCOMPARE(shown.alert->geometry(), shown.window.rect());
        QVERIFY(shown.window.rect().contains(shown.alert->boxRect()));
        // Two buttons side by side, cancel on the left.
        QPushButton* cancel = shown.alert->buttonAtIndex(0);
        QPushButton* send = shown.alert->buttonAtIndex(1);
        QCOMPARE(cancel->text(), QString("取消   "));
        QCOMPARE(cancel->y(), send->y());
        QVERIFY(cancel->x() < send->x());

        QSignalSpy clicked(shown.alert.data(), &AlertView::clickedButtonAtIndex);
        QSignalSpy dismissed(shown.alert.data(), &AlertView::didDismissWithButtonIndex);
        shown.tapButton(1);
        QCOMPARE(shown.recorder.events, QStringList({"1 确定"}));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(dismissed.count(), 1);
        QCOMPARE(dismissed.first().first().toInt(), 1);
        // A double click, Escape or code meanwhile: still one answer.
        shown.alert->clickButtonAtIndex(0);
        QTest::keyClick(shown.alert.data(), Qt::Key_Escape);
        shown.alert->dismissWithClickedButtonIndex(0, false);
        QCOMPARE(shown.recorder.events.size(), 1);
        QCOMPARE(dismissed.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(shown.alert.isNull(), 5000);
    }

    void escapeIsCancel() {
        {
            Shown shown(voicePrompt());
            // Also with the keyboard focus on a button or in the message.
            shown.alert->buttonAtIndex(1)->setFocus();
            QTest::keyClick(shown.alert->buttonAtIndex(1), Qt::Key_Escape);
            QCOMPARE(shown.recorder.events, QStringList({"0 取消   "}));
        }
        {
            Shown shown(new AlertView("证书", "指纹", nullptr, "取消", {"信任"}));
            shown.alert->messageView()->setFocus();
            QTest::keyClick(shown.alert->messageView(), Qt::Key_Escape);
            QCOMPARE(shown.recorder.events, QStringList({"0 取消"}));
        }
        {
            // Without a cancel button Escape is no answer.
            Shown shown(new AlertView("提示", "已保存", nullptr, "", {"好"}));
            QTest::keyClick(shown.alert.data(), Qt::Key_Escape);
            QVERIFY(shown.recorder.events.isEmpty());
            QVERIFY(!shown.alert->isClosing());
            shown.tapButton(0);
            QCOMPARE(shown.recorder.events, QStringList({"0 好"}));
        }
        {
            // Without any button Escape closes it, or nothing could.
            Shown shown(new AlertView("提示", "请稍候", nullptr, "", {}));
            QSignalSpy dismissed(shown.alert.data(), &AlertView::didDismissWithButtonIndex);
            QTest::keyClick(shown.alert.data(), Qt::Key_Escape);
            QCOMPARE(dismissed.count(), 1);
            QCOMPARE(dismissed.first().first().toInt(), -1);
            QTRY_VERIFY_WITH_TIMEOUT(shown.alert.isNull(), 5000);
        }
    }

    void theWindowBeneathTakesNoTaps() {
        Shown shown(voicePrompt());
        auto* beneath = new QPushButton("写日志", &shown.window);
        beneath->setGeometry(10, 10, 100, 40);
        beneath->show();
        shown.alert->raise();
        QSignalSpy pressed(beneath, &QPushButton::clicked);
        const QPoint at = beneath->geometry().center();
        QWidget* hit = shown.window.childAt(at);
        QVERIFY(hit == shown.alert.data() || shown.alert->isAncestorOf(hit));
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&shown.window, at));
        QCOMPARE(pressed.count(), 0);
        QVERIFY(shown.recorder.events.isEmpty());
        QVERIFY(!shown.alert->isClosing());
    }

    void aLongMessageScrollsInsideTheWindow() {
        QString fingerprint;
        for (int i = 0; i < 32; ++i) {
            fingerprint += QStringLiteral("%1%2").arg(i ? ":" : "").arg(0xA0 + i, 2, 16).toUpper();
        }
        QString message = QStringLiteral(
                              "主题：CN=oa.example.internal,O=测试单位,C=CN\n"
                              "颁发者：CN=测试根证书\n"
                              "有效期：2025-01-01 至 2027-01-01\n"
                              "SHA-256 指纹：") +
                          fingerprint;
        for (int i = 0; i < 12; ++i) {
            message += QStringLiteral("\n备用名称 %1：host%1.example.internal").arg(i);
        }
        Shown shown(new AlertView("证书不受信任", message, nullptr, "取消", {"信任此证书"}));
        const QRect box = shown.alert->boxRect();
        QVERIFY(shown.window.rect().contains(box));
        QVERIFY(box.width() <= AlertView::kBoxWidth);
        QTextEdit* text = shown.alert->messageView();
        QVERIFY(text->verticalScrollBar()->maximum() > 0);
        // The fingerprint breaks inside the box rather than running past it.
        QCOMPARE(text->horizontalScrollBar()->maximum(), 0);
        QVERIFY(text->document()->idealWidth() <= text->viewport()->width());
        for (int i = 0; i < shown.alert->numberOfButtons(); ++i) {
            QPushButton* button = shown.alert->buttonAtIndex(i);
            QVERIFY(box.contains(button->geometry().translated(box.topLeft())));
        }
        text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
        QVERIFY(text->toPlainText().endsWith("host11.example.internal"));

        // A shorter window still shows the buttons.
        Shown small(new AlertView("证书不受信任", message, nullptr, "取消", {"信任此证书"}),
                    {320, 300});
        QVERIFY(small.window.rect().contains(small.alert->boxRect()));
    }

    void threeButtonsStackWithCancelAtTheBottom() {
        Shown shown(new AlertView("选择", "", nullptr, "取消", {"一", "二"}));
        QPushButton* cancel = shown.alert->buttonAtIndex(0);
        QPushButton* one = shown.alert->buttonAtIndex(1);
        QPushButton* two = shown.alert->buttonAtIndex(2);
        QVERIFY(one->y() < two->y());
        QVERIFY(two->y() < cancel->y());
        QCOMPARE(one->x(), cancel->x());
        shown.tapButton(2);
        QCOMPARE(shown.recorder.events, QStringList({"2 二"}));
    }

    void showFindsTheVisibleWindowAndAGoneScreenIsNotCalled() {
        QWidget window;
        window.resize(320, 480);
        window.show();
        auto screen = std::make_unique<Screen>();
        QPointer<AlertView> alert = voicePrompt();
        alert->setDelegate(screen.get());
        alert->show();
        QCOMPARE(alert->parentWidget(), &window);
        QVERIFY(alert->isVisible());
        QSignalSpy clicked(alert.data(), &AlertView::clickedButtonAtIndex);
        screen.reset();
        QTest::mouseClick(alert->buttonAtIndex(1), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(alert.isNull(), 5000);
    }

    void anAlertGoesWithItsWindow() {
        Recorder recorder;
        auto window = std::make_unique<QWidget>();
        window->resize(320, 480);
        window->show();
        QPointer<AlertView> alert = voicePrompt();
        alert->setDelegate(&recorder);
        alert->showInView(window.get());
        window.reset();
        QVERIFY(alert.isNull());
        QCoreApplication::processEvents();
        QVERIFY(recorder.events.isEmpty());
    }
};

}  // namespace oa

OA_KIT_TEST(AlertViewTest)
#include "AlertViewTest.moc"

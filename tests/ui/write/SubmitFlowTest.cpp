// The write screen against the in-process demo server: each kind is read back through its list,
// a failed submission keeps the screen, its draft and its pictures, the retry closes and removes
// them, and a second tap while a submission runs sends nothing more.
#include <QImage>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "DemoSession.h"
#include "WriteScreen.h"
#include "core/protocol/DetailRecords.h"
#include "core/protocol/DiaryBO.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/MessageBO.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/write/AddReciverViewController.h"
#include "ui/controller/write/AllSendView.h"
#include "ui/controller/write/BranchViewController.h"
#include "ui/controller/write/CalendarWriteView.h"
#include "ui/controller/write/DiaryWriteView.h"
#include "ui/controller/write/DraftStore.h"
#include "ui/controller/write/EmailWriteView.h"
#include "ui/controller/write/SubmitFailureText.h"
#include "ui/kit/ScrollView.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

using write::person;
using write::WriteEnvironment;
using write::WriteScreen;

namespace {

constexpr char kDiaryPage[] = "/mobile/diary/submit.php";

QImage filled(const QColor& colour) {
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

template <class Record>
std::shared_ptr<Record> withSubject(const std::vector<std::shared_ptr<Record>>& list,
                                    const std::string& subject) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const auto& record) { return record->subject == subject; });
    return found == list.end() ? nullptr : *found;
}

int countWithContent(const std::vector<std::shared_ptr<DiaryVO>>& list, const std::string& text) {
    return static_cast<int>(std::count_if(
        list.begin(), list.end(), [&](const auto& record) { return record->content == text; }));
}

}  // namespace

class SubmitFlowTest : public QObject {
    Q_OBJECT

private slots:
    // A personal diary is stored with its kind; the screen closes with "成功" and leaves no
    // draft behind.
    void diaryIsSavedWithItsKind() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("diary");
        DiaryWriteView* diary = screen.write()->diary_view();
        diary->segmentedControlChangedValue(1);
        diary->setContent(QStringLiteral("拜访客户"));
        emit diary->changed();
        const std::string title = diary->title().toStdString();
        bool ok = false;
        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(ok);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("成功"));
        QVERIFY(!screen.isOpen());
        QVERIFY(!DraftStore(DraftStore::sessionKey("diary")).exists());

        const auto saved = withSubject(write::listOf<DiaryVO>("diary"), title);
        QVERIFY(saved);
        QCOMPARE(saved->content, std::optional<std::string>("拜访客户"));
        auto detail =
            std::dynamic_pointer_cast<DiaryDetailVO>(DiaryBO().getDetailInfo(saved->q_id));
        QVERIFY(detail);
        QCOMPARE(detail->dia_type_desc, std::optional<std::string>("个人日志"));
    }

    // An e-mail with two pictures reaches the recipient and the copy recipient, pictures in
    // order; its upload files are gone afterwards.
    void emailWithPicturesReachesEachRecipient() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        std::vector<std::string> pictures;
        {
            WriteScreen screen("email");
            EmailWriteView* email = screen.write()->email_view();
            email->loadScrollView(email->user_scroll1(), {person("chenjing", "陈静")});
            email->loadScrollView(email->user_scroll2(), {person("zhaolei", "赵磊")});
            email->setSubject(QStringLiteral("两张照片"));
            email->setContent(QStringLiteral("见附件"));
            screen.write()->didFinishPickingImage(filled(Qt::red));
            screen.write()->didFinishPickingImage(filled(Qt::blue));
            pictures = email->pictureFiles();
            bool ok = false;
            QVERIFY(screen.submitAndWait(&ok));
            QVERIFY(ok);
            QVERIFY(!screen.isOpen());
        }
        for (const std::string& path : pictures) {
            QVERIFY(!std::filesystem::exists(path));
        }
        for (const char* reader : {"chenjing", "zhaolei"}) {
            QVERIFY(write::signIn(reader));
            const auto mail = withSubject(write::listOf<EmailVO>("email"), "两张照片");
            QVERIFY2(mail, reader);
            auto detail =
                std::dynamic_pointer_cast<EmailDetailVO>(EmailBO().getDetailInfo(mail->q_id));
            QVERIFY(detail);
            QCOMPARE(detail->attachment_name,
                     std::optional<std::string>("uploadedfile0.png*uploadedfile1.png*"));
            // The pictures arrive in picking order: red, then blue.
            const QStringList ids =
                QString::fromStdString(detail->attachment_id.value_or("")).split(',');
            QVERIFY(ids.size() >= 2);
            QCOMPARE(write::attachmentPicture(ids[0].toStdString(), "uploadedfile0.png")
                         .pixelColor(0, 0),
                     QColor(Qt::red));
            QCOMPARE(write::attachmentPicture(ids[1].toStdString(), "uploadedfile1.png")
                         .pixelColor(0, 0),
                     QColor(Qt::blue));
        }
    }

    void calendarEntryIsSaved() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("calendar");
        CalendarWriteView* calendar = screen.write()->calendar_view();
        calendar->setTime(1, QTime(10, 30));
        calendar->setContent(QStringLiteral("部门例会"));
        calendar->showLevelView();
        calendar->levelList()->select(1);
        bool ok = false;
        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(ok);
        const auto list = write::listOf<CalendarVO>("calendar");
        const auto found = std::find_if(list.begin(), list.end(), [](const auto& record) {
            return record->content == std::optional<std::string>("部门例会");
        });
        QVERIFY(found != list.end());
        QCOMPARE((*found)->cal_time.value_or("").substr(0, 5), std::string("09:05"));
        QCOMPARE((*found)->end_time.value_or("").substr(0, 5), std::string("10:30"));
    }

    // The server refuses once: "保存失败", the screen stays with its text, picture and draft and
    // can send again; the retry closes it and removes draft and picture.
    void failureKeepsEverythingUntilRetry() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("diary");
        DiaryWriteView* diary = screen.write()->diary_view();
        diary->setContent(QStringLiteral("retry me"));
        emit diary->changed();
        screen.write()->didFinishPickingImage(filled(Qt::green));
        const std::vector<std::string> pictures = diary->pictureFiles();
        QVERIFY(write::fault(kDiaryPage, 1, 503));

        bool ok = true;
        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(screen.isOpen());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(),
                 QStringLiteral("保存失败：failure switched on for this page"));
        QVERIFY(!ok);
        QCOMPARE(diary->content(), QStringLiteral("retry me"));
        QVERIFY(std::filesystem::exists(pictures.at(0)));
        QVERIFY(screen.write()->rightButton()->isEnabled());
        QVERIFY(screen.write()->backButton()->isEnabled());
        QVERIFY(diary->isEnabled());
        QTRY_VERIFY(screen.write()->draftStore()->exists());
        QCOMPARE(countWithContent(write::listOf<DiaryVO>("diary"), "retry me"), 0);

        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(ok);
        QVERIFY(!screen.isOpen());
        QVERIFY(!DraftStore(DraftStore::sessionKey("diary")).exists());
        QVERIFY(!std::filesystem::exists(pictures.at(0)));
        QCOMPARE(countWithContent(write::listOf<DiaryVO>("diary"), "retry me"), 1);
    }

    // A refused e-mail says "发送失败" and keeps its recipients, subject and picture.
    void refusedEmailKeepsItsRecipients() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("email");
        EmailWriteView* email = screen.write()->email_view();
        email->loadScrollView(email->user_scroll1(), {person("chenjing", "陈静")});
        email->setSubject(QStringLiteral("refused"));
        screen.write()->didFinishPickingImage(filled(Qt::red));
        QVERIFY(write::fault("/mobile/email/submit.php", 1, 400));
        bool ok = true;
        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(screen.isOpen());
        QCOMPARE(ProgressHUD::status(),
                 QStringLiteral("发送失败：failure switched on for this page"));
        QVERIFY(!ok);
        QCOMPARE(email->getEmailSaveVO()->to_id, std::string("chenjing"));
        QCOMPARE(email->subject(), QStringLiteral("refused"));
        QCOMPARE(email->pictureFiles().size(), std::size_t(1));
        QVERIFY(std::filesystem::exists(email->pictureFiles()[0]));
    }

    // A second tap while the server is slow sends nothing more; the buttons are disabled and
    // the progress indicator shows meanwhile.
    void doubleTapSendsOnce() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("diary");
        screen.write()->diary_view()->setContent(QStringLiteral("only once"));
        QVERIFY(write::fault(kDiaryPage, 1, 0, 1500));
        QSignalSpy finished(screen.write(), &WriteController::submitFinished);
        screen.write()->saveInfo();
        QVERIFY(screen.write()->isSubmitting());
        QVERIFY(!screen.write()->rightButton()->isEnabled());
        QVERIFY(!screen.write()->backButton()->isEnabled());
        QVERIFY(!screen.write()->editor()->isEnabled());
        QCOMPARE(ProgressHUD::status(), QStringLiteral("正在保存..."));
        screen.write()->saveInfo();
        screen.write()->clickToBack();
        QVERIFY(screen.isOpen());
        QVERIFY(finished.wait(20000));
        write::drain();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(countWithContent(write::listOf<DiaryVO>("diary"), "only once"), 1);
    }

    // The window goes while a slow submission runs: its verdict reaches no screen, nothing
    // breaks, and the entry is stored once.
    void verdictAfterTheScreenWentIsDropped() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        {
            WriteScreen screen("diary");
            screen.write()->diary_view()->setContent(QStringLiteral("screen gone"));
            QVERIFY(write::fault(kDiaryPage, 1, 0, 500));
            screen.write()->saveInfo();
            screen.close();
        }
        write::drain();
        QCOMPARE(countWithContent(write::listOf<DiaryVO>("diary"), "screen gone"), 1);
    }

    // The picker opens with the strip's people ticked: "确定" alone keeps them, a person ticked
    // there joins them; the picker goes after each choice.
    void pickerAddsToTheStrip_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("which");
        QTest::newRow("e-mail recipients") << "email" << 1;
        QTest::newRow("e-mail copies") << "email" << 2;
        QTest::newRow("group message") << "message" << 0;
    }
    void pickerAddsToTheStrip() {
        QFETCH(QString, kind);
        QFETCH(int, which);
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen(kind.toStdString());
        EmailWriteView* email = screen.write()->email_view();
        AllSendView* send = screen.write()->send_view();
        ScrollView* strip = send ? send->user_scroll()
                                 : (which == 1 ? email->user_scroll1() : email->user_scroll2());
        auto chosen = [&] {
            const auto& people =
                send ? send->user_arr() : (which == 1 ? email->user_arr1() : email->user_arr2());
            QStringList names;
            for (const auto& one : people) {
                names << QString::fromStdString(one->user_name.value_or(""));
            }
            return names;
        };
        auto open = [&] {
            if (send) {
                send->addButton()->click();
            } else {
                emit email->turnToSearch(which);
            }
            return screen.write()->picker();
        };
        (send ? send->loadScrollView(strip, {person("wangjianguo", "王建国", "1")})
              : email->loadScrollView(strip, {person("wangjianguo", "王建国", "1")}));

        AddReciverViewController* picker = open();
        QVERIFY(picker);
        QCOMPARE(picker->user_arr().size(), std::size_t(1));
        QCOMPARE(picker->list().size(), std::size_t(1));
        picker->clickToSet();
        write::drain();
        QVERIFY(screen.isOpen());
        QCOMPARE(chosen(), QStringList{QStringLiteral("王建国")});

        picker = open();
        QSignalSpy shown(picker, &AddReciverViewController::searchShown);
        picker->textFieldDidChange(QStringLiteral("陈静"));
        QVERIFY(shown.wait(10000));
        QVERIFY(!picker->list().empty());
        picker->clickToCheckIt(0, true);
        picker->clickToSet();
        write::drain();
        QVERIFY(screen.isOpen());
        QCOMPARE(chosen(), QStringList({QStringLiteral("王建国"), QStringLiteral("陈静")}));
    }

    // A group text chosen through the picker reaches each recipient; the screen closes.
    void groupTextReachesEachRecipient() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("message");
        AllSendView* send = screen.write()->send_view();
        QVERIFY(send);
        QCOMPARE(screen.write()->name(), QStringLiteral("发送"));
        send->addButton()->click();
        AddReciverViewController* picker = screen.write()->picker();
        QVERIFY(picker);
        QSignalSpy shown(picker, &AddReciverViewController::searchShown);
        picker->textFieldDidChange(QStringLiteral("赵磊"));
        QVERIFY(shown.wait(10000));
        picker->clickToCheckIt(0, true);
        picker->clickToSet();
        write::drain();
        QCOMPARE(send->user_arr().size(), std::size_t(1));
        send->loadScrollView(send->user_scroll(),
                             {send->user_arr().at(0), person("chenjing", "陈静", "3")});
        send->content_text()->setText(QStringLiteral("下午三点开会"));
        bool ok = false;
        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(ok);
        QVERIFY(!screen.isOpen());
        for (const char* reader : {"zhaolei", "chenjing"}) {
            QVERIFY(write::signIn(reader));
            const auto conversations = MessageBO().getMessageInfo();
            const bool found = std::any_of(
                conversations.begin(), conversations.end(), [](const auto& conversation) {
                    return conversation->content == std::optional<std::string>("下午三点开会");
                });
            QVERIFY2(found, reader);
        }
    }

    // A group message the server refuses says the server's reason and keeps its text.
    void refusedGroupMessageSaysWhy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << QStringLiteral("发送失败：empty message");
        QTest::newRow("7,503 bytes") << QString(2501, QChar(0x5B57))
                                     << QStringLiteral("发送失败：message longer than 4000 bytes");
    }
    void refusedGroupMessageSaysWhy() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("message");
        AllSendView* send = screen.write()->send_view();
        send->loadScrollView(send->user_scroll(), {person("chenjing", "陈静", "3")});
        send->content_text()->setText(text);
        bool ok = true;
        QVERIFY(screen.submitAndWait(&ok));
        QVERIFY(!ok);
        QVERIFY(screen.isOpen());
        QCOMPARE(ProgressHUD::status(), shown);
        QCOMPARE(send->content_text()->text(), text);
    }

    // A time-out leaves the outcome open (the server may store the record later); a reply
    // without an explanation gives its status; an error page gives its text.
    void failureTexts_data() {
        QTest::addColumn<bool>("saves");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("excerpt");
        QTest::addColumn<QString>("shown");
        QTest::newRow("send timed out")
            << false << 0 << QString() << QStringLiteral("网络超时，请稍后在列表中确认是否已发送");
        QTest::newRow("save timed out")
            << true << 0 << QString() << QStringLiteral("网络超时，请稍后在列表中确认是否已保存");
        QTest::newRow("no explanation")
            << true << 503 << QString() << QStringLiteral("保存失败：HTTP 503");
        QTest::newRow("error page")
            << false << 500
            << QStringLiteral("<html><body><h1>Error: disk &amp; quota full</h1></body></html>")
            << QStringLiteral("发送失败：disk & quota full");
    }
    void failureTexts() {
        QFETCH(bool, saves);
        QFETCH(int, status);
        QFETCH(QString, excerpt);
        QFETCH(QString, shown);
        ExchangeFailure failure{"http://oa/mobile/diary/submit.php", std::nullopt, status,
                                excerpt.toStdString()};
        if (status == 0) {
            failure.error = RequestError::make(RequestErrorType::TimedOut);
        }
        QCOMPARE(submitFailureText(saves, failure), shown);
    }

    // Without a recipient an e-mail is not sent and the screen stays.
    void emailWithoutRecipientSendsNothing() {
        WriteEnvironment env;
        QVERIFY(write::signIn("liuli"));
        WriteScreen screen("email");
        screen.write()->email_view()->setSubject(QStringLiteral("nobody"));
        screen.write()->saveInfo();
        QVERIFY(!screen.write()->isSubmitting());
        QCOMPARE(ProgressHUD::status(), QStringLiteral("无收信人"));
        write::drain();
        QVERIFY(screen.isOpen());
    }
};

}  // namespace oa

OA_QT_TEST(SubmitFlowTest)
#include "SubmitFlowTest.moc"

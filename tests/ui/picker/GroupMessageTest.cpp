// The group-message editor: its recipient strip and text record, and its voice messages, held
// on a virtual clock with the WAV-file recorder and sent to the in-process demo server (or a
// loopback server that holds the upload): what a tap, the prompt's two buttons and an empty
// recording lead to, where the message arrives, and that no recording starts during a send.
#include <QAbstractButton>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <any>
#include <memory>

#include "../voice/VoiceSamples.h"
#include "PickerServer.h"
#include "core/platform/AppPaths.h"
#include "core/platform/ManualLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/MessageBO.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/voice/VoiceConverter.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/voice/VoiceRecording.h"
#include "ui/controller/write/AllSendView.h"
#include "ui/kit/AlertView.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/ScrollView.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/WavFileAudioRecorder.h"
#include "ui/support/DemoServerInstance.h"
#include "ui/support/QtTestRegistry.h"

using namespace std::chrono_literals;

namespace oa {

namespace {

std::shared_ptr<UserVO> recipient(const std::string& uid, const std::string& name) {
    auto person = std::make_shared<UserVO>();
    person->user_uid = uid;
    person->user_id = "u" + uid;
    person->user_name = name;
    return person;
}

// Signs in to the demo server as `user`; true when it granted a session.
bool signIn(const std::string& user) {
    bool granted = false;
    ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        LoginBO::kLoginResult, [&](const Notification& note) {
            granted = std::any_cast<std::vector<std::string>>(&note.object) != nullptr;
        });
    LoginVO record;
    record.name = user;
    record.pwd = "123456";
    record.oa = test::demoServerInstanceAddress();
    LoginBO().loginOperation(record);
    return granted;
}

// The voice messages that `partnerUid` sent to the signed-in user.
int voiceMessagesFrom(const std::string& partnerUid) {
    int count = 0;
    for (const auto& message : MessageBO().getMessageDetail(partnerUid)) {
        if (message->isvoicemsg == "1" && message->msg_from != "1") {
            ++count;
        }
    }
    return count;
}

}  // namespace

class GroupMessageTest : public QObject {
    Q_OBJECT

    MainLoop* previousLoop_ = nullptr;
    std::unique_ptr<ManualLoop> loop_;
    std::unique_ptr<QTemporaryDir> home_;
    AppPaths previousPaths_ = AppPaths::current();
    std::unique_ptr<QWidget> window_;
    AllSendView* view_ = nullptr;
    Pcm16 source_;
    int recordersMade_ = 0;

    QStringList temporaryFiles() const {
        return QDir(QString::fromStdString(AppPaths::current().temporary().string()))
            .entryList(QDir::Files);
    }

    // Holds "按住说话" for `held` of virtual time and releases it.
    void hold(std::chrono::milliseconds held) {
        LongPressButton* button = view_->recordButton();
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(held);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->runPending();
    }

    // Records two seconds (the recording starts 0.3 s into the hold) and answers the prompt with
    // `button`.
    void recordAndAnswer(int button) {
        hold(2300ms);
        QVERIFY(view_->prompt());
        view_->prompt()->clickButtonAtIndex(button);
        loop_->runPending();
    }

    bool waitForSend(QSignalSpy& sent) {
        const bool done = loop_->runUntil([&] { return !sent.isEmpty(); });
        joinBackgroundThreads();
        loop_->runPending();
        return done;
    }

private slots:
    void init() {
        previousLoop_ = &MainLoop::main();
        loop_ = std::make_unique<ManualLoop>();
        MainLoop::setMain(loop_.get());
        home_ = std::make_unique<QTemporaryDir>();
        previousPaths_ = AppPaths::current();
        AppPaths::setCurrent(AppPaths(home_->path().toStdString(), previousPaths_.resources()));
        source_ = test::tone(3.0);
        recordersMade_ = 0;
        AudioStack::setRecorderFactory([this](QObject* parent) -> AudioRecorder* {
            ++recordersMade_;
            return new WavFileAudioRecorder(
                source_, [this] { return loop_->now(); }, parent);
        });
        ProgressHUD::resetForTesting();
        window_ = std::make_unique<QWidget>();
        window_->resize(320, 416);
        view_ = new AllSendView(window_.get());
        view_->resize(320, 416);
        window_->show();
    }

    void cleanup() {
        window_.reset();
        view_ = nullptr;
        joinBackgroundThreads();
        loop_->runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AudioStack::setRecorderFactory({});
        AppPaths::setCurrent(previousPaths_);
        ProgressHUD::resetForTesting();
        MainLoop::setMain(previousLoop_);
        loop_.reset();
        home_.reset();
        GlobalVar::getInstance_global().resetForTesting();
    }

    void theStripShowsTheChoiceAndATapRemovesThatPerson() {
        view_->loadScrollView(view_->user_scroll(), {recipient("a", "张伟"), recipient("b", "李娜"),
                                                     recipient("c", "陈芳")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto buttons = view_->user_scroll()->findChildren<QAbstractButton*>();
        QCOMPARE(buttons.size(), 3);
        QAbstractButton* middle = view_->user_scroll()->findChild<QAbstractButton*>("name1");
        QVERIFY(middle);
        QCOMPARE(middle->text(), QStringLiteral("李娜"));
        QCOMPARE(middle->x(), AllSendView::kStripButtonWidth);
        // Four names are wider than the strip: it scrolls sideways to the last one.
        view_->loadScrollView(view_->user_scroll(),
                              {recipient("a", "张伟"), recipient("b", "李娜"),
                               recipient("c", "陈芳"), recipient("d", "赵磊")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(view_->user_scroll()->contentSize().width(), 240.0);
        view_->user_scroll()->setContentOffsetX(view_->user_scroll()->maximumContentOffsetX());
        QAbstractButton* last = view_->user_scroll()->findChild<QAbstractButton*>("name3");
        QVERIFY(last);
        QVERIFY(view_->user_scroll()->rect().contains(last->geometry()));
        QTest::mouseClick(last, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(view_->user_arr().size(), std::size_t(3));
        middle = view_->user_scroll()->findChild<QAbstractButton*>("name1");
        QVERIFY(middle);
        QTest::mouseClick(middle, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(view_->user_scroll()->findChildren<QAbstractButton*>().size(), 2);
        // The rest are numbered afresh: a tap on the new second removes 陈芳.
        QAbstractButton* second = view_->user_scroll()->findChild<QAbstractButton*>("name1");
        QVERIFY(second);
        QCOMPARE(second->text(), QStringLiteral("陈芳"));
        view_->content_text()->setText(QStringLiteral("下午三点开会"));
        const auto record = view_->getAllSendVO();
        QVERIFY(record);
        QCOMPARE(record->to_uid, std::string("a,c"));
        QCOMPARE(record->content, std::string("下午三点开会"));

        // A new choice replaces the strip; nobody chosen empties it.
        view_->loadScrollView(view_->user_scroll(), {});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(view_->user_scroll()->findChildren<QAbstractButton*>().isEmpty());
        QVERIFY(view_->user_arr().empty());
        QVERIFY(!view_->getAllSendVO());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("无收信人"));
    }

    void anEmptyTextIsSentAndTheServerRefusesIt() {
        QVERIFY(signIn("wangjianguo"));
        view_->loadScrollView(view_->user_scroll(), {recipient("2", "刘丽")});
        const auto record = view_->getAllSendVO();
        QVERIFY(record);
        QCOMPARE(record->content, std::string());
        QCOMPARE(record->to_uid, std::string("2"));
        QVERIFY(!MessageBO().sendMessages(*record).ok);
    }

    void aShortTapRecordsNothing() {
        view_->loadScrollView(view_->user_scroll(), {recipient("2", "刘丽")});
        hold(250ms);
        loop_->advance(2s);
        QVERIFY(!view_->prompt());
        QCOMPARE(recordersMade_, 0);
        QVERIFY(temporaryFiles().isEmpty());
        QCOMPARE(view_->recordButton()->imageName(), QStringLiteral("btn_recordButton"));
    }

    void holdingRecordsWithTheAnimationAboveTheButton() {
        view_->loadScrollView(view_->user_scroll(), {recipient("2", "刘丽")});
        LongPressButton* button = view_->recordButton();
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(500ms);
        QVERIFY(view_->recording()->isRecording());
        QCOMPARE(button->imageName(), QStringLiteral("btn_recordButton2"));
        CustomAnimating* animation = view_->recording()->animation();
        QVERIFY(animation);
        QVERIFY(animation->isVisible());
        const QPoint animationAt = animation->mapTo(view_, QPoint(0, 0));
        const QPoint buttonAt = button->mapTo(view_, QPoint(0, 0));
        QCOMPARE(animationAt.y(), buttonAt.y() - AllSendView::kAnimationAbove);
        QCOMPARE(animationAt.x(), (view_->width() - animation->width()) / 2);
        // Held past one second of recording, the least that is sent.
        loop_->advance(1s);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->runPending();
        QCOMPARE(button->imageName(), QStringLiteral("btn_recordButton"));
        QVERIFY(view_->prompt());
        const QStringList files = temporaryFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression("^R_5_\\d+\\.wav$").match(files.first()).hasMatch());
    }

    void aLongPressWithoutRecipientsRecordsNothing() {
        LongPressButton* button = view_->recordButton();
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->advance(500ms);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("无收信人"));
        QVERIFY(!view_->recording()->isRecording());
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
        loop_->runPending();
        QVERIFY(!view_->prompt());
        QCOMPARE(recordersMade_, 0);
        QVERIFY(temporaryFiles().isEmpty());
    }

    void cancellingThePromptChangesNothing() {
        test::HttpTestServer server;
        GlobalVar::getInstance_global().setOa(server.url(""));
        view_->loadScrollView(view_->user_scroll(),
                              {recipient("2", "刘丽"), recipient("3", "陈静")});
        view_->content_text()->setText(QStringLiteral("收到请回复"));
        hold(2s);
        AlertView* prompt = view_->prompt();
        QVERIFY(prompt);
        QCOMPARE(prompt->title(), QStringLiteral("Corvane"));
        QCOMPARE(prompt->message(), QStringLiteral("您录制了一段语音是否发送"));
        QCOMPARE(prompt->buttonTitleAtIndex(0), QStringLiteral("取消   "));
        QCOMPARE(prompt->buttonTitleAtIndex(1), QStringLiteral("确定"));
        prompt->clickButtonAtIndex(0);
        loop_->runPending();
        joinBackgroundThreads();
        QVERIFY(!view_->isSendingVoice());
        QVERIFY(server.requests().empty());
        QCOMPARE(view_->user_arr().size(), std::size_t(2));
        QCOMPARE(view_->content_text()->text(), QStringLiteral("收到请回复"));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        // The recording stays; a new one may start.
        QCOMPARE(temporaryFiles().filter(".wav").size(), 1);
        hold(2s);
        QVERIFY(view_->prompt());
    }

    void confirmingSendsTheVoiceToEachRecipient() {
        QVERIFY(signIn("liuli"));
        const int liuliBefore = voiceMessagesFrom("1");
        QVERIFY(signIn("chenjing"));
        const int chenjingBefore = voiceMessagesFrom("1");
        QVERIFY(signIn("wangjianguo"));
        view_->loadScrollView(view_->user_scroll(),
                              {recipient("2", "刘丽"), recipient("3", "陈静")});
        view_->content_text()->setText(QStringLiteral("草稿"));
        QSignalSpy sent(view_, &AllSendView::voiceSent);
        recordAndAnswer(1);
        QVERIFY(view_->isSendingVoice());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("正在发送..."));
        QVERIFY(waitForSend(sent));
        QCOMPARE(sent.takeFirst().at(0).toBool(), true);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Success);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("成功"));
        // The editor keeps everything; the recording's files are gone.
        QCOMPARE(view_->user_arr().size(), std::size_t(2));
        QCOMPARE(view_->content_text()->text(), QStringLiteral("草稿"));
        QVERIFY2(temporaryFiles().isEmpty(), qPrintable(temporaryFiles().join(' ')));

        QVERIFY(signIn("liuli"));
        QCOMPARE(voiceMessagesFrom("1"), liuliBefore + 1);
        QVERIFY(signIn("chenjing"));
        QCOMPARE(voiceMessagesFrom("1"), chenjingBefore + 1);
    }

    void anEmptyRecordingFailsToSend() {
        QVERIFY(signIn("wangjianguo"));
        source_ = Pcm16{};
        view_->loadScrollView(view_->user_scroll(), {recipient("2", "刘丽")});
        QSignalSpy sent(view_, &AllSendView::voiceSent);
        recordAndAnswer(1);
        QVERIFY(waitForSend(sent));
        QCOMPARE(sent.takeFirst().at(0).toBool(), false);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("发送失败"));
        QCOMPARE(view_->user_arr().size(), std::size_t(1));
    }

    void noRecordingStartsWhileAVoiceMessageIsSent() {
        test::HttpTestServer server;
        server.setHandler("/corvane/im/upload.php",
                          [](const test::CapturedRequest&, test::HttpTestServer::Exchange& ex) {
                              if (ex.waitForRelease()) {
                                  ex.reply({200, {}, R"({"status":"OK"})"});
                              }
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        view_->loadScrollView(view_->user_scroll(),
                              {recipient("2", "刘丽"), recipient("3", "陈静")});
        QSignalSpy sent(view_, &AllSendView::voiceSent);
        recordAndAnswer(1);
        QVERIFY(server.waitForInFlight(1));
        const int made = recordersMade_;
        const QStringList before = temporaryFiles();
        hold(2s);
        QVERIFY(!view_->recording()->isRecording());
        QVERIFY(!view_->prompt());
        QCOMPARE(temporaryFiles(), before);
        QCOMPARE(recordersMade_, made);
        server.release();
        QVERIFY(waitForSend(sent));
        QCOMPARE(sent.takeFirst().at(0).toBool(), true);
        const auto upload = server.requests().at(0);
        QCOMPARE(picker::field(upload, "DEST_UID"), std::string("2,3"));
        QCOMPARE(picker::field(upload, "DURATION"), std::string("2000"));
        // Once the send is over, holding records again.
        hold(2s);
        QVERIFY(view_->prompt());
    }

    void leavingDuringASendStillEndsTheProgress() {
        test::HttpTestServer server;
        server.setHandler("/corvane/im/upload.php",
                          [](const test::CapturedRequest&, test::HttpTestServer::Exchange& ex) {
                              if (ex.waitForRelease()) {
                                  ex.reply({503, {}, "busy"});
                              }
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        view_->loadScrollView(view_->user_scroll(), {recipient("2", "刘丽")});
        recordAndAnswer(1);
        QVERIFY(server.waitForInFlight(1));
        window_.reset();
        view_ = nullptr;
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        server.release();
        QVERIFY(loop_->runUntil([] { return ProgressHUD::state() != ProgressHUD::State::Busy; }));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("发送失败"));
    }
};

OA_QT_TEST(GroupMessageTest)

}  // namespace oa
#include "GroupMessageTest.moc"

// Pictures and drafts of the editors: upload files numbered so that none listed is replaced,
// removed with their picture or when the screen is left; what was typed survives a closed
// window and is dropped by "返回".
#include <sys/stat.h>

#include <QAbstractButton>
#include <QFile>
#include <QImage>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "WriteScreen.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/write/AllSendView.h"
#include "ui/controller/write/CalendarWriteView.h"
#include "ui/controller/write/DiaryWriteView.h"
#include "ui/controller/write/DraftStore.h"
#include "ui/controller/write/EmailWriteView.h"
#include "ui/controller/write/PictureBlock.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/ScrollView.h"
#include "ui/kit/TextView.h"
#include "ui/platform/FakePicturePicker.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

using write::person;
using write::WriteEnvironment;
using write::WriteScreen;

namespace {

QImage filled(const QColor& colour) {
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> names(const std::vector<std::string>& paths) {
    std::vector<std::string> out;
    for (const std::string& path : paths) {
        out.push_back(std::filesystem::path(path).filename().string());
    }
    return out;
}

}  // namespace

class PicturesDraftsTest : public QObject {
    Q_OBJECT

private slots:
    void threePicksAreNumberedInOrder_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("diary") << "diary";
        QTest::newRow("email") << "email";
    }
    void threePicksAreNumberedInOrder() {
        QFETCH(QString, kind);
        WriteEnvironment env;
        WriteScreen screen(kind.toStdString());
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
            screen.write()->didFinishPickingImage(filled(colour));
        }
        const std::vector<std::string> listed = screen.write()->editor()->pictureFiles();
        QCOMPARE(names(listed), (std::vector<std::string>{"uploadedfile0.png", "uploadedfile1.png",
                                                          "uploadedfile2.png"}));
        for (const std::string& path : listed) {
            QCOMPARE(std::filesystem::path(path).parent_path(), env.tmp());
        }
        QCOMPARE(QImage(QString::fromStdString(listed[2])).pixelColor(0, 0), QColor(Qt::blue));
        auto* block = screen.write()->editor()->findChild<PictureBlock*>();
        QCOMPARE(block->height(), 110 + 3 * 50);
    }

    // Pictures chosen through the menu and the picker: the album three times, then a cancel,
    // then "拍照" without a camera, which asks nothing.
    void menuAndPicker() {
        WriteEnvironment env;
        auto picker = std::make_shared<FakePicturePicker>(false);
        PicturePicker::setCurrent(picker);
        WriteScreen screen("email");
        std::vector<QString> sources;
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
            sources.push_back(QString::fromStdString(
                (env.home() / (colour.name().mid(1).toStdString() + ".png")).string()));
            QVERIFY(filled(colour).save(sources.back()));
            picker->queueLibraryPick(sources.back());
        }
        picker->queueLibraryPick(std::nullopt);
        auto choose = [&](int index) {
            screen.write()->openTheMenu();
            QPointer<ActionSheet> menu = screen.write()->pictureMenu();
            QVERIFY(menu);
            menu->clickButtonAtIndex(index);
            QTRY_VERIFY(!menu);
        };
        for (std::size_t n = 1; n <= 3; ++n) {
            choose(1);
            QTRY_COMPARE(screen.write()->editor()->pictureFiles().size(), n);
        }
        QCOMPARE(names(screen.write()->editor()->pictureFiles()),
                 (std::vector<std::string>{"uploadedfile0.png", "uploadedfile1.png",
                                           "uploadedfile2.png"}));
        QCOMPARE(QImage(QString::fromStdString(screen.write()->editor()->pictureFiles()[1]))
                     .pixelColor(0, 0),
                 QColor(Qt::green));
        choose(1);
        QTRY_COMPARE(picker->libraryRequests(), 4);
        write::drain();
        choose(0);
        write::drain();
        QCOMPARE(picker->photoRequests(), 0);
        QCOMPARE(screen.write()->editor()->pictureFiles().size(), std::size_t(3));
        QVERIFY(!std::filesystem::exists(env.tmp() / "uploadedfile3.png"));
        PicturePicker::setCurrent(nullptr);
    }

    // After the middle picture goes, a new one takes a free number and changes no listed file.
    void removedPictureFreesItsNumberOnly() {
        WriteEnvironment env;
        WriteScreen screen("diary");
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
            screen.write()->didFinishPickingImage(filled(colour));
        }
        auto* block = screen.write()->diary_view()->pictureBlock();
        const std::vector<std::string> before = block->imageAry();
        block->deleteTheImage(1);
        QVERIFY(!std::filesystem::exists(before[1]));
        const std::string first = bytesOf(before[0]);
        const std::string third = bytesOf(before[2]);

        screen.write()->didFinishPickingImage(filled(Qt::yellow));
        const std::vector<std::string> after = block->imageAry();
        QCOMPARE(after.size(), std::size_t(3));
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[1], before[2]);
        QVERIFY(after[2] != after[0] && after[2] != after[1]);
        QCOMPARE(bytesOf(after[0]), first);
        QCOMPARE(bytesOf(after[1]), third);
        QCOMPARE(QImage(QString::fromStdString(after[2])).pixelColor(0, 0), QColor(Qt::yellow));
        QCOMPARE(QImage(QString::fromStdString(after[1])).pixelColor(0, 0), QColor(Qt::blue));

        block->deleteAllImages();
        for (const std::string& path : after) {
            QVERIFY(!std::filesystem::exists(path));
        }
    }

    // A chosen file that is no picture adds nothing; a JPEG file is stored as it is.
    void pickedFiles() {
        WriteEnvironment env;
        WriteScreen screen("email");
        const QString text = QString::fromStdString((env.home() / "notes.txt").string());
        {
            QFile file(text);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a picture");
        }
        screen.write()->didFinishPickingFile(text);
        write::drain();
        QVERIFY(screen.write()->editor()->pictureFiles().empty());
        QVERIFY(!std::filesystem::exists(env.tmp() / "uploadedfile0.png"));

        const QString jpeg = QString::fromStdString((env.home() / "photo.jpg").string());
        QVERIFY(filled(Qt::red).save(jpeg, "JPEG"));
        screen.write()->didFinishPickingFile(jpeg);
        QTRY_COMPARE(names(screen.write()->editor()->pictureFiles()),
                     std::vector<std::string>{"uploadedfile0.jpg"});
        QCOMPARE(bytesOf((env.tmp() / "uploadedfile0.jpg").string()), bytesOf(jpeg.toStdString()));
    }

    // The window goes mid-edit (a quit): the next write screen of that kind is filled from the
    // draft and says so.
    void draftSurvivesClosedWindow() {
        WriteEnvironment env;
        std::filesystem::path draftFile;
        {
            WriteScreen screen("diary");
            DiaryWriteView* diary = screen.write()->diary_view();
            diary->segmentedControlChangedValue(1);
            diary->setDate(QDate(2026, 5, 6));
            QTest::keyClicks(diary->contentView(), QStringLiteral("met the supplier"));
            screen.write()->didFinishPickingImage(filled(Qt::red));
            draftFile = screen.write()->draftStore()->path();
            QTRY_VERIFY(std::filesystem::exists(draftFile));
            struct stat info {};
            QCOMPARE(::stat(draftFile.c_str(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0600));
            screen.close();
        }
        ProgressHUD::resetForTesting();
        WriteScreen again("diary");
        DiaryWriteView* diary = again.write()->diary_view();
        QCOMPARE(ProgressHUD::status(), QStringLiteral("已恢复草稿"));
        const DiarySaveVO record = diary->getDiarySaveVO();
        QCOMPARE(record.diaryContent, std::string("met the supplier"));
        QCOMPARE(record.diaryType, std::string("2"));
        QCOMPARE(record.diaryTitle, std::string("王伟2026-05-08个人日志"));
        QCOMPARE(record.diaryDate, std::string("2026-05-06"));
        QCOMPARE(names(record.diaryAttachment), std::vector<std::string>{"uploadedfile0.png"});
    }

    // The group message keeps its recipients and its text too.
    void groupMessageDraft() {
        WriteEnvironment env;
        {
            WriteScreen screen("message");
            AllSendView* send = screen.write()->send_view();
            send->loadScrollView(send->user_scroll(), {person("chenjing", "陈静", "3")});
            send->content_text()->setText(QStringLiteral("meeting at three"));
            screen.close();
        }
        WriteScreen again("message");
        AllSendView* send = again.write()->send_view();
        QCOMPARE(send->content_text()->text(), QStringLiteral("meeting at three"));
        QCOMPARE(send->getAllSendVO()->to_uid, std::string("3"));
        QCOMPARE(ProgressHUD::status(), QStringLiteral("已恢复草稿"));
    }

    // A recipient removed by a tap on the name is gone from the draft too, so that a reopened
    // screen does not send to them.
    void removedRecipientLeavesTheDraft() {
        WriteEnvironment env;
        {
            WriteScreen screen("message");
            AllSendView* send = screen.write()->send_view();
            send->loadScrollView(send->user_scroll(),
                                 {person("chenjing", "陈静", "3"), person("wuqiang", "吴强", "9")});
            send->content_text()->setText(QStringLiteral("meeting at three"));
            screen.write()->flushDraft();
            auto* wu = send->user_scroll()->findChild<QAbstractButton*>(QStringLiteral("name1"));
            QVERIFY(wu);
            QCOMPARE(wu->text(), QStringLiteral("吴强"));
            wu->click();
            screen.close();
        }
        WriteScreen again("message");
        QCOMPARE(again.write()->send_view()->getAllSendVO()->to_uid, std::string("3"));
    }

    // A damaged draft file is ignored, and writing one leaves no temporary file behind.
    void damagedDraftIsIgnored() {
        WriteEnvironment env;
        const DraftStore store(DraftStore::sessionKey("calendar"));
        std::filesystem::create_directories(store.path().parent_path());
        std::ofstream(store.path()) << "{\"key\": [1, 2";
        {
            WriteScreen screen("calendar");
            QVERIFY(screen.write()->calendar_view()->content().isEmpty());
            QVERIFY(ProgressHUD::status() != QStringLiteral("已恢复草稿"));
            screen.write()->calendar_view()->setContent(QStringLiteral("new text"));
            screen.close();
        }
        QCOMPARE(store.load().value_or(QJsonObject{}).value(QStringLiteral("content")).toString(),
                 QStringLiteral("new text"));
        for (const auto& entry : std::filesystem::directory_iterator(store.path().parent_path())) {
            QCOMPARE(entry.path().extension().string(), std::string(".json"));
        }
    }

    // A change made just before the window goes is not lost either.
    void lastChangeIsKeptOnClose() {
        WriteEnvironment env;
        {
            WriteScreen screen("calendar");
            auto* text = screen.write()->editor()->findChild<TextView*>();
            QTest::keyClicks(text, QStringLiteral("call back"));
            screen.close();
        }
        WriteScreen again("calendar");
        auto* text = again.write()->editor()->findChild<TextView*>();
        QCOMPARE(text->text(), QStringLiteral("call back"));
    }

    // "返回" on a screen with unsent content asks: "保存草稿" leaves the draft and the pictures to
    // the next screen, "放弃" drops both, "取消" stays.
    void backAsksBeforeLeaving_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("leaves");
        QTest::addColumn<bool>("kept");
        QTest::newRow("保存草稿") << 0 << true << true;
        QTest::newRow("放弃") << 1 << true << false;
        QTest::newRow("取消") << 2 << false << true;
    }
    void backAsksBeforeLeaving() {
        QFETCH(int, choice);
        QFETCH(bool, leaves);
        QFETCH(bool, kept);
        WriteEnvironment env;
        WriteScreen screen("diary");
        QTest::keyClicks(screen.write()->diary_view()->contentView(), QStringLiteral("scratch"));
        screen.write()->didFinishPickingImage(filled(Qt::red));
        const std::vector<std::string> pictures = screen.write()->editor()->pictureFiles();
        screen.write()->backButton()->click();
        QPointer<ActionSheet> sheet = screen.write()->leaveSheet();
        QVERIFY(sheet);
        QCOMPARE(QStringList({sheet->buttonTitleAtIndex(0), sheet->buttonTitleAtIndex(1),
                              sheet->buttonTitleAtIndex(2)}),
                 QStringList(
                     {QStringLiteral("保存草稿"), QStringLiteral("放弃"), QStringLiteral("取消")}));
        sheet->clickButtonAtIndex(choice);
        QTRY_VERIFY(!sheet);
        QCOMPARE(screen.isOpen(), !leaves);
        QCOMPARE(std::filesystem::exists(pictures.at(0)), kept);
        screen.close();

        ProgressHUD::resetForTesting();
        WriteScreen again("diary");
        QCOMPARE(again.write()->diary_view()->content() == QStringLiteral("scratch"), kept);
        QCOMPARE(ProgressHUD::status() == QStringLiteral("已恢复草稿"), kept);
        QCOMPARE(again.write()->editor()->pictureFiles().size(), std::size_t(kept ? 1 : 0));
    }

    // A screen left as it opened (a reply's recipients included) goes at once.
    void untouchedScreenLeavesAtOnce_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("diary") << "diary";
        QTest::newRow("reply") << "email";
        QTest::newRow("message") << "message";
    }
    void untouchedScreenLeavesAtOnce() {
        QFETCH(QString, kind);
        WriteEnvironment env;
        WriteScreen screen(kind.toStdString(), {person("3", "张三")});
        screen.write()->backButton()->click();
        QVERIFY(!screen.isOpen());
    }

    // A reply's draft belongs to its recipients; another user's drafts are not offered.
    void draftsAreKeyed() {
        WriteEnvironment env;
        {
            WriteScreen reply("email", {person("3", "张三")});
            reply.write()->email_view()->setSubject(QStringLiteral("Re: budget"));
            emit reply.write()->editor()->changed();
            reply.close();
        }
        {
            WriteScreen other("email", {person("4", "李四")});
            QVERIFY(other.write()->email_view()->subject().isEmpty());
            WriteScreen fresh("email");
            QVERIFY(fresh.write()->email_view()->subject().isEmpty());
        }
        GlobalVar::getInstance_global().setUid(std::string("8"));
        {
            WriteScreen otherUser("email", {person("3", "张三")});
            QVERIFY(otherUser.write()->email_view()->subject().isEmpty());
        }
        GlobalVar::getInstance_global().setUid(std::string("7"));
        WriteScreen same("email", {person("3", "张三")});
        QCOMPARE(same.write()->email_view()->subject(), QStringLiteral("Re: budget"));
        QCOMPARE(same.write()->email_view()->getEmailSaveVO()->to_id, std::string("3"));
    }
};

}  // namespace oa

OA_QT_TEST(PicturesDraftsTest)
#include "PicturesDraftsTest.moc"

// The detail screen's rules that need no page: read-page addresses, the attachment-link rule,
// when "回复" is offered and whom it addresses, and the reminder page's redirect address.
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/DetailRecords.h"
#include "core/protocol/ListRecords.h"
#include "core/session/GlobalVar.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using Kind = WebDetailView::Kind;
using Action = WebDetailView::LinkAction::Type;

template <class Record>
std::shared_ptr<BaseVO> withId(const char* id) {
    auto record = std::make_shared<Record>();
    record->q_id = id;
    return record;
}

std::shared_ptr<UserVO> person(const char* name, const char* userId) {
    auto user = std::make_shared<UserVO>();
    user->user_name = name;
    user->user_id = userId;
    return user;
}

QStringList userIds(const DetailController::People& people) {
    QStringList ids;
    for (const auto& user : people) {
        ids << QString::fromStdString(user->user_id.value_or("?"));
    }
    return ids;
}

}  // namespace

class DetailRulesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        GlobalVar::getInstance_global().resetForTesting();
        GlobalVar::getInstance_global().setOa("http://oa.example:8080");
        GlobalVar::getInstance_global().setSession_id("s9");
    }

    void readPagesAreBuiltFromTheSessionAndTheItem() {
        const auto none = std::shared_ptr<BaseVO>();
        QCOMPARE(*WebDetailView::pageAddress(Kind::Email, withId<EmailVO>("123"), none),
                 std::string("http://oa.example:8080/mobile/email/read.php?P=s9&EMAIL_ID=123"));
        QCOMPARE(*WebDetailView::pageAddress(Kind::Notify, withId<NotifyVO>("7"), none),
                 std::string("http://oa.example:8080/mobile/notify/read.php?P=s9&NOTIFY_ID=7"));
        QCOMPARE(*WebDetailView::pageAddress(Kind::News, withId<NewsVO>("8"), none),
                 std::string("http://oa.example:8080/mobile/news/read.php?P=s9&NEWS_ID=8"));
        QCOMPARE(*WebDetailView::pageAddress(Kind::Diary, withId<DiaryVO>("4"),
                                             withId<DiaryDetailVO>("999")),
                 std::string("http://oa.example:8080/mobile/diary/read.php?P=s9&DIA_ID=4"));
        // A file's id is its detail's, not the list row's.
        QCOMPARE(
            *WebDetailView::pageAddress(Kind::File, withId<FileVO>("1"),
                                        withId<FileDetailVO>("55")),
            std::string("http://oa.example:8080/mobile/file_folder/read.php?P=s9&CONTENT_ID=55"));
    }

    void pagesWithoutTheirRecordsShowNothingOrNoId() {
        // A diary or file without its own detail record (a failed request) has no page.
        QVERIFY(!WebDetailView::pageAddress(Kind::Diary, withId<DiaryVO>("4"), nullptr));
        QVERIFY(!WebDetailView::pageAddress(Kind::Diary, withId<DiaryVO>("4"),
                                            std::make_shared<BaseVO>()));
        QVERIFY(!WebDetailView::pageAddress(Kind::File, withId<FileVO>("1"), nullptr));
        // A list record of another module gives no id, never another item's.
        QCOMPARE(*WebDetailView::pageAddress(Kind::Email, withId<NotifyVO>("7"), nullptr),
                 std::string("http://oa.example:8080/mobile/email/read.php?P=s9&EMAIL_ID="));
    }

    void linkRule_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("address");
        const auto open = int(Action::OpenAttachment);
        const auto load = int(Action::Load);
        const auto refuse = int(Action::Refuse);
        QTest::newRow("picture") << "message:1:/mobile/attach.php?ID=3&NAME=a.jpg" << open << 1
                                 << "http://oa.example:8080/mobile/attach.php?ID=3&NAME=a.jpg";
        QTest::newRow("document")
            << "message:0:/mobile/inc/attach_file.php?x=%E6%96%87" << open << 0
            << "http://oa.example:8080/mobile/inc/attach_file.php?x=%E6%96%87";
        QTest::newRow("any separator") << "message:2|/p" << open << 2 << "http://oa.example:8080/p";
        QTest::newRow("letter category")
            << "message:x:/p" << open << 0 << "http://oa.example:8080/p";
        QTest::newRow("empty path") << "message:1:" << open << 1 << "http://oa.example:8080/";
        QTest::newRow("glued host")
            << "message:1:@evil.example/x" << open << 1 << "http://oa.example:8080/@evil.example/x";
        QTest::newRow("other server") << "message:1:http://evil.example/x" << refuse << 0 << "";
        QTest::newRow("bare scheme") << "message:" << refuse << 0 << "";
        QTest::newRow("category only") << "message:1" << refuse << 0 << "";
        QTest::newRow("no colon") << "message" << load << 0 << "";
        QTest::newRow("http") << "http://oa.example:8080/mobile/message:1:/x" << load << 0 << "";
        QTest::newRow("longer scheme") << "messages:1:/p" << load << 0 << "";
        QTest::newRow("prefix") << "xmessage:1:/p" << load << 0 << "";
        QTest::newRow("about") << "about:blank" << load << 0 << "";
    }
    void linkRule() {
        QFETCH(QString, url);
        QFETCH(int, type);
        QFETCH(int, category);
        QFETCH(QString, address);
        const auto action = WebDetailView::linkAction(url.toStdString(), "http://oa.example:8080");
        QCOMPARE(int(action.type), type);
        if (action.type == Action::OpenAttachment) {
            QCOMPARE(action.category, category);
            QCOMPARE(QString::fromStdString(action.address), address);
        }
    }

    // The page refuses every "message:" link; only a whole one opens the viewer, once the
    // engine is done with the link.
    void theViewOpensWholeAttachmentLinksOnly() {
        WebDetailView view(Kind::Email);
        std::vector<std::pair<int, std::string>> opened;
        view.setAttachmentOpener([&](int category, const std::string& address) {
            opened.emplace_back(category, address);
        });
        QVERIFY(!view.shouldStartLoadWithRequest("message:"));
        QVERIFY(!view.shouldStartLoadWithRequest("message:1"));
        QVERIFY(view.shouldStartLoadWithRequest("message"));
        QVERIFY(view.shouldStartLoadWithRequest("http://oa.example:8080/next"));
        QCoreApplication::processEvents();
        QVERIFY(opened.empty());

        QVERIFY(!view.shouldStartLoadWithRequest("message:1:/mobile/attach.php?ID=3"));
        QVERIFY(opened.empty());
        QTRY_COMPARE(opened.size(), std::size_t(1));
        QCOMPARE(opened[0].first, 1);
        QCOMPARE(opened[0].second, std::string("http://oa.example:8080/mobile/attach.php?ID=3"));
    }

    void replyIsOfferedForInternalMailOnly() {
        auto detail = [](Text is_webmail) {
            auto record = std::make_shared<EmailDetailVO>();
            record->is_webmail = std::move(is_webmail);
            return record;
        };
        QVERIFY(DetailController::offersReply("email", detail("0")));
        QVERIFY(DetailController::offersReply("email", detail(std::nullopt)));
        QVERIFY(DetailController::offersReply("email", nullptr));
        QVERIFY(DetailController::offersReply("email", std::make_shared<BaseVO>()));
        QVERIFY(!DetailController::offersReply("email", detail("1")));
        QVERIFY(!DetailController::offersReply("email", detail("2abc")));
        QVERIFY(!DetailController::offersReply("notify", detail("0")));
    }

    void aReplyAddressesOnlyTheSender() {
        const DetailController::People found = {
            person("张伟华", "zhangweihua"), person("张伟", "zhangwei"),
            person("小张伟", "xiaozhang"),   person("张伟", "zhangwei2"),
            std::make_shared<UserVO>(),
        };
        // A name search matches anywhere in a name; only the exact name is the sender.
        QCOMPARE(userIds(DetailController::replyRecipients(found, "张伟", std::nullopt)),
                 QStringList({"zhangwei", "zhangwei2"}));
        QCOMPARE(userIds(DetailController::replyRecipients(found, "张伟", "")),
                 QStringList({"zhangwei", "zhangwei2"}));
        // Two people of that name: the one the mail came from.
        QCOMPARE(userIds(DetailController::replyRecipients(found, "张伟", "zhangwei2")),
                 QStringList({"zhangwei2"}));
        QCOMPARE(userIds(DetailController::replyRecipients(found, "张伟", "someoneelse")),
                 QStringList());
        // No name: nobody, never everyone the empty search found.
        QCOMPARE(userIds(DetailController::replyRecipients(found, "", std::nullopt)),
                 QStringList());
        QCOMPARE(userIds(DetailController::replyRecipients(found, std::nullopt, std::nullopt)),
                 QStringList());
    }

    void base64OfEveryTailLength_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("3 bytes") << QByteArray("Man") << "TWFu";
        QTest::newRow("2 bytes") << QByteArray("Ma") << "TWE=";
        QTest::newRow("1 byte") << QByteArray("M") << "TQ==";
        QTest::newRow("4 bytes") << QByteArray("Mann") << "TWFubg==";
        QTest::newRow("0 bytes") << QByteArray() << "";
        QTest::newRow("high bytes") << QByteArray("\xfb\xff\xbf", 3) << "+/+/";
        QTest::newRow("long, one line")
            << QByteArray(100, 'a') << QString(QByteArray(100, 'a').toBase64());
    }
    void base64OfEveryTailLength() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const std::string encoded = IndexController::base64Encode(bytes.toStdString());
        QCOMPARE(QString::fromStdString(encoded), text);
        QVERIFY(encoded.find('\n') == std::string::npos);
    }

    // "+", "/" and "=" of the Base64 text are percent-encoded in the query.
    void theReminderAddressEscapesItsBase64() {
        const std::string address = "\xfb\xff\xbf?";
        QCOMPARE(
            IndexController::reminderAddress(address),
            std::string(
                "http://oa.example:8080/mobile/go.php?P=s9&MobileWebViewURL=%2B%2F%2B%2FPw%3D%3D"));
        QCOMPARE(IndexController::reminderAddress(""),
                 std::string("http://oa.example:8080/mobile/go.php?P=s9&MobileWebViewURL="));
    }
};

}  // namespace oa

OA_QT_TEST(DetailRulesTest)

#include "DetailRulesTest.moc"

// The cards and the forecast: a person's values from the demo server, the sex shown after the
// name, failed cards, calling and texting a number (never through a real handler), the contact
// card's rows, the forecast's cards and icons, and the pictures these screens name.
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QtTest>

#include "LookupHost.h"
#include "core/platform/MainLoop.h"
#include "ui/controller/lookup/AddressDetailView.h"
#include "ui/controller/lookup/AvatarPictures.h"
#include "ui/controller/lookup/CardRowCell.h"
#include "ui/controller/lookup/UserDetailView.h"
#include "ui/controller/lookup/UserView.h"
#include "ui/controller/lookup/WeatherDetailView.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/AnimatedImageView.h"
#include "ui/kit/Images.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/ScrollView.h"
#include "ui/kit/TextField.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using test::HttpTestServer;
using test::kWaitMs;
using test::LookupHost;

std::shared_ptr<UserVO> person(const std::string& uid, const std::string& name) {
    auto record = std::make_shared<UserVO>();
    record->user_uid = uid;
    record->user_name = name;
    return record;
}

// Opens the card of the first person the demo server finds for `name`.
UserDetailView* openPersonCard(LookupHost& host, const QString& name) {
    QPointer<OtherFuncController> lookup = host.open("user", "人员查询");
    auto* search = qobject_cast<UserView*>(lookup->searchView());
    test::typeText(search->name_txt(), name);
    if (!QTest::qWaitFor(
            [&] {
                return search->list().size() == 1 &&
                       search->list()[0]->user_name == name.toStdString();
            },
            kWaitMs)) {
        return nullptr;
    }
    TableViewCell* row = search->table_view()->cellForRowAtIndexPath({0, 0});
    QTest::mouseClick(row, Qt::LeftButton, {}, row->rect().center());
    if (!QTest::qWaitFor([&] { return host.topDetail() != nullptr; }, kWaitMs) ||
        !test::waitShown(host.topDetail())) {
        return nullptr;
    }
    return qobject_cast<UserDetailView*>(host.topDetail()->detailView());
}

ActionSheet* shownSheet() {
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* sheet = qobject_cast<ActionSheet*>(widget); sheet && !sheet->isClosing()) {
            return sheet;
        }
    }
    return nullptr;
}

}  // namespace

class LookupCardTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        GlobalVar::getInstance_global().resetForTesting();
        ProgressHUD::resetForTesting();
    }
    void cleanup() { ProgressHUD::resetForTesting(); }

    void aPersonsCardShowsTheServersValuesInRowOrder() {
        QVERIFY(test::signInToDemo());
        LookupHost host;
        UserDetailView* card = openPersonCard(host, QStringLiteral("王浩"));
        QVERIFY(card);
        QCOMPARE(card->dataAry(),
                 (QStringList{"0", "王浩", "青禾科技/技术研发部", "软件工程师", "701552021", "",
                              "18657110011", "wanghao@qinghe.example", "专注"}));
        QCOMPARE(card->shownName(), QStringLiteral("王浩(男)"));
        QCOMPARE(card->table()->numberOfRowsInSection(0), UserDetailView::kRows);
        auto* mobile = qobject_cast<CardRowCell*>(
            card->table()->cellForRowAtIndexPath({0, UserDetailView::kMobileRow}));
        QVERIFY(mobile);
        QCOMPARE(mobile->label()->text(), QStringLiteral("手机："));
        QVERIFY(mobile->isLink());
        QVERIFY(mobile->value()->font().underline());
        // An empty desk phone is no link.
        auto* desk = qobject_cast<CardRowCell*>(
            card->table()->cellForRowAtIndexPath({0, UserDetailView::kWorkPhoneRow}));
        QVERIFY(!desk->isLink());
    }

    void anEightDigitDeskPhoneIsDialledAtOnce() {
        QVERIFY(test::signInToDemo());
        test::RecordingOpener opener;
        LookupHost host;
        UserDetailView* card = openPersonCard(host, QStringLiteral("赵磊"));
        QVERIFY(card);
        QCOMPARE(card->dataAry().at(UserDetailView::kWorkPhoneRow), QStringLiteral("88760104"));
        card->tapRow(UserDetailView::kMobileRow);  // no mobile: nothing
        card->tapRow(4);                           // QQ: nothing
        QVERIFY(opener.urls().isEmpty());
        card->tapRow(UserDetailView::kWorkPhoneRow);
        QCOMPARE(opener.urls(), QList<QUrl>{QUrl(QStringLiteral("tel:88760104"))});
        QVERIFY(!shownSheet());
    }

    void aMobileOffersCallingOrTexting() {
        QVERIFY(test::signInToDemo());
        test::RecordingOpener opener;
        LookupHost host;
        UserDetailView* card = openPersonCard(host, QStringLiteral("王建国"));
        QVERIFY(card);
        QCOMPARE(card->shownName(), QStringLiteral("王建国(男)"));

        const QList<std::pair<int, QString>> choices = {
            {CallOrText::kCallIndex, QStringLiteral("tel:13905710001")},
            {CallOrText::kTextIndex, QStringLiteral("sms:13905710001")},
            {2, QString()}};
        for (const auto& [index, expected] : choices) {
            opener.fake = std::make_shared<FakeUrlOpener>(true);
            UrlOpener::setCurrent(opener.fake);
            card->tapRow(UserDetailView::kMobileRow);
            ActionSheet* sheet = shownSheet();
            QVERIFY(sheet);
            QCOMPARE(sheet->numberOfButtons(), 3);
            QCOMPARE(sheet->buttonTitleAtIndex(0), QStringLiteral("拨打电话"));
            QCOMPARE(sheet->buttonTitleAtIndex(1), QStringLiteral("发送短信"));
            QCOMPARE(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), QStringLiteral("取消"));
            QCOMPARE(card->caller()->tel(), QStringLiteral("13905710001"));
            sheet->clickButtonAtIndex(index);
            if (expected.isEmpty()) {
                QVERIFY(opener.urls().isEmpty());
            } else {
                QCOMPARE(opener.urls(), QList<QUrl>{QUrl(expected)});
            }
            QTRY_VERIFY(!shownSheet());
        }
    }

    void thePhoneRule_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("action");
        using A = CallOrText::Action;
        QTest::newRow("absent") << QString() << false << int(A::Nothing);
        QTest::newRow("empty") << QString() << true << int(A::Nothing);
        QTest::newRow("one character") << "1" << true << int(A::Nothing);
        QTest::newRow("two characters") << "12" << true << int(A::Dial);
        QTest::newRow("mobile") << "13905710001" << true << int(A::Choose);
        QTest::newRow("eleven, not a mobile") << "05718876010" << true << int(A::Dial);
        QTest::newRow("ten digits") << "1390571000" << true << int(A::Dial);
        QTest::newRow("twelve digits") << "139057100011" << true << int(A::Dial);
        QTest::newRow("desk phone") << "88760104" << true << int(A::Dial);
    }
    void thePhoneRule() {
        QFETCH(QString, value);
        QFETCH(bool, present);
        QFETCH(int, action);
        const Text text = present ? Text(value.toStdString()) : Text();
        QCOMPARE(int(CallOrText::actionFor(text)), action);
    }

    void callAddressesCarryTheBareNumber() {
        QCOMPARE(CallOrText::callUrl(QStringLiteral("0571-8876 0104")).toString(),
                 QStringLiteral("tel:057188760104"));
        QCOMPARE(CallOrText::textUrl(QStringLiteral("139 0571 0001")).toString(),
                 QStringLiteral("sms:13905710001"));
        QVERIFY(CallOrText::callUrl(QStringLiteral("88760104")).host().isEmpty());
    }

    void withoutAHandlerTheNumberIsCopied() {
        test::RecordingOpener opener;
        QGuiApplication::clipboard()->clear();
        QWidget host;
        host.resize(320, 480);
        host.show();
        CallOrText caller(&host);
        QSignalSpy finished(&caller, &CallOrText::finished);
        // A handler took it: nothing is copied or shown.
        caller.choose(std::string("0571-88760104"));
        QVERIFY(finished.wait(kWaitMs));
        QCOMPARE(finished.last().at(1).toBool(), true);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);

        opener.fake->setAnswer(false);
        caller.choose(std::string("0571-88760104"));
        QVERIFY(finished.wait(kWaitMs));
        QCOMPARE(opener.urls().last(), QUrl(QStringLiteral("tel:057188760104")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0571-88760104"));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("本机无法拨打电话，号码已复制"));

        ProgressHUD::resetForTesting();
        caller.choose(std::string("13905710001"));
        QVERIFY(caller.sheet());
        caller.sheet()->clickButtonAtIndex(CallOrText::kTextIndex);
        QVERIFY(finished.wait(kWaitMs));
        QCOMPARE(opener.urls().last(), QUrl(QStringLiteral("sms:13905710001")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("13905710001"));
        QCOMPARE(ProgressHUD::status(), QStringLiteral("本机无法发送短信，号码已复制"));
    }

    void theSexComesFromSexBeforeThePicture_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("man with picture 3") << R"("sex":"0","avatar":"3")"
                                            << "赵六(男)";
        QTest::newRow("woman with picture 0") << R"("sex":"1","avatar":"0")"
                                              << "赵六(女)";
        QTest::newRow("sex in words") << R"("sex":"女","avatar":"0")"
                                      << "赵六(女)";
        QTest::newRow("no sex, picture 0") << R"("avatar":"0")"
                                           << "赵六(男)";
        QTest::newRow("unreadable sex") << R"("sex":"?","avatar":"2")"
                                        << "赵六(女)";
        QTest::newRow("neither") << R"("remark":"")"
                                 << "赵六";
    }
    void theSexComesFromSexBeforeThePicture() {
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        HttpTestServer server;
        server.setReply("/mobile/user_info/data.php",
                        test::json(R"({"user_name":"赵六",)" + reply.toStdString() + "}"));
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("user");
        lookup->lookDetail(std::shared_ptr<BaseVO>(person("66", "赵六")), "user");
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        auto* card = qobject_cast<UserDetailView*>(host.topDetail()->detailView());
        QVERIFY(card);
        QCOMPARE(card->shownName(), shown);
        const auto request = server.requests().at(0);
        QCOMPARE(test::formNames(request), (QStringList{"P", "Q_ID", "ATYPE"}));
        QCOMPARE(test::formValue(request, "Q_ID"), QStringLiteral("66"));
    }

    void aFailedCardShowsEmptyValues() {
        HttpTestServer server;
        server.setReply("/mobile/user_info/data.php", {500, {}, "down"});
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("user");
        lookup->lookDetail(std::shared_ptr<BaseVO>(person("66", "赵六")), "user");
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        auto* card = qobject_cast<UserDetailView*>(host.topDetail()->detailView());
        QVERIFY(card);
        QCOMPARE(card->dataAry(), (QStringList{"", "", " ", " ", " ", " ", " ", " ", " "}));
        QCOMPARE(card->shownName(), QString());
        QVERIFY(!card->dataAry().join(QString()).contains(QStringLiteral("null")));
    }

    void aContactCardListsEachLabelOnceAndWrapsLongValues() {
        HttpTestServer server;
        const std::string longAddress(std::string("杭州市西湖区文三路 258 号") +
                                      "东部软件园科技大厦北楼十七层一七零八室");
        server.setReply("/mobile/address/data.php",
                        test::json(R"({"group_name":"客户","psn_name":"黄磊","sex":"男",)"
                                   R"("dept_long_name":"远景贸易/采购部","dept_name":"远景贸易",)"
                                   R"("ministration":"采购经理","tel_no_home":"88123456",)"
                                   R"("mobil_no":"13712345678","oicq_no":"12345678",)"
                                   R"("email":"huangleipurchasingdepartment@yuanjingtradeexample",)"
                                   R"("add_dept":")" +
                                   longAddress + R"("})"));
        test::useServer(server);
        test::RecordingOpener opener;
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("address");
        auto contact = std::make_shared<AddressVO>();
        contact->q_id = "7";
        lookup->lookDetail(std::shared_ptr<BaseVO>(contact), "address");
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        auto* card = qobject_cast<AddressDetailView*>(host.topDetail()->detailView());
        QVERIFY(card);
        const auto request = server.requests().at(0);
        QCOMPARE(test::formNames(request), (QStringList{"P", "Q_ID", "ATYPE"}));
        QCOMPARE(test::formValue(request, "Q_ID"), QStringLiteral("7"));
        QCOMPARE(test::formValue(request, "ATYPE"), QStringLiteral("getDetail"));

        const QStringList labels = AddressDetailView::labels();
        QCOMPARE(labels.size(), 22);
        QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), 22);
        QCOMPARE(card->valueOf(QStringLiteral("单位名称")), Text("远景贸易"));
        QCOMPARE(card->valueOf(QStringLiteral("职务")), Text("采购经理"));
        QCOMPARE(card->valueOf(QStringLiteral("部门名称")), Text("远景贸易/采购部"));
        QCOMPARE(card->valueOf(QStringLiteral("MSN")), Text());

        const int addressRow = int(labels.indexOf(QStringLiteral("单位地址")));
        auto* cell = qobject_cast<CardRowCell*>(card->table()->cellForRowAtIndexPath({0, 0}));
        QCOMPARE(cell->label()->text(), QStringLiteral("分组: "));
        QCOMPARE(cell->value()->width(), AddressDetailView::kValueWidth);
        card->table()->scrollToRowAtIndexPath({0, addressRow}, TableView::ScrollPosition::Middle,
                                              false);
        cell = qobject_cast<CardRowCell*>(card->table()->cellForRowAtIndexPath({0, addressRow}));
        QVERIFY(cell);
        QVERIFY(cell->height() > CardRowCell::kMinHeight);
        QVERIFY(cell->value()->wordWrap());
        QVERIFY(cell->value()->heightForWidth(cell->value()->width()) <= cell->value()->height());
        // An e-mail address has no word to break at: it wraps inside.
        const int emailRow = int(labels.indexOf(QStringLiteral("电子邮件")));
        card->table()->scrollToRowAtIndexPath({0, emailRow}, TableView::ScrollPosition::Middle,
                                              false);
        cell = qobject_cast<CardRowCell*>(card->table()->cellForRowAtIndexPath({0, emailRow}));
        QVERIFY(cell);
        QVERIFY(cell->height() > CardRowCell::kMinHeight);
        QVERIFY(cell->value()->heightForWidth(cell->value()->width()) <= cell->value()->height());
        QVERIFY(cell->value()->heightForWidth(cell->value()->width()) >
                2 * QFontMetrics(cell->value()->font()).height() - 1);

        card->tapRow(QStringLiteral("QQ"));
        QVERIFY(opener.urls().isEmpty());
        card->tapRow(QStringLiteral("家庭电话"));
        QCOMPARE(opener.urls(), QList<QUrl>{QUrl(QStringLiteral("tel:88123456"))});
        card->tapRow(QStringLiteral("手机"));
        QVERIFY(shownSheet());
        shownSheet()->cancel();
        QCOMPARE(opener.urls().size(), 1);
    }

    void aFiveDayForecastHasOneLargeAndFourSmallCardsAllReachable() {
        HttpTestServer server;
        server.setReply(
            "/mobile/weather/data.php",
            test::json(
                R"([{"date":"7日","img1":"7","img2":"32","weather":"小雨","temperature":"20℃~31℃"},)"
                R"({"date":"8日","img1":"7","img2":""},)"
                R"({"date":"9日","img1":"x","img2":"1"},)"
                R"({"date":"10日","img1":"31"},)"
                R"({"date":"11日","img1":"0"}])"));
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("weather");
        lookup->lookDetail("weather", Text("北京"));
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        auto* forecast = qobject_cast<WeatherDetailView*>(host.topDetail()->detailView());
        QVERIFY(forecast);
        const QList<QWidget*> cards = forecast->cards();
        QCOMPARE(cards.size(), 5);
        QCOMPARE(cards[0]->size(), QSize(296, 130));
        // The day's temperatures keep both ends in their place.
        const auto* temperature = cards[0]->findChild<QLabel*>(QStringLiteral("temperature"));
        QVERIFY(temperature);
        QVERIFY(QFontMetrics(temperature->font()).horizontalAdvance(temperature->text()) <=
                temperature->width());
        const QList<int> tops = {12, 156, 232, 308, 384};
        for (int i = 0; i < cards.size(); ++i) {
            QCOMPARE(cards[i]->y() + int(forecast->scroll()->contentOffset()), tops[i]);
            QCOMPARE(cards[i]->x(), 12);
        }
        QCOMPARE(cards[1]->size(), QSize(296, 68));
        // The last card ends below the screen and is reached by scrolling.
        const int lastBottom = tops.last() + 68;
        QVERIFY(lastBottom > forecast->height());
        QVERIFY(forecast->scroll()->maximumContentOffset() + forecast->scroll()->height() >=
                lastBottom);

        auto icon = [&](int card, const char* name) {
            return cards[card]->findChild<AnimatedImageView*>(QString::fromLatin1(name));
        };
        QCOMPARE(icon(0, "icon1")->imageName(), QStringLiteral("a7.gif"));
        QVERIFY(icon(0, "icon1")->hasImage());
        QCOMPARE(icon(0, "icon1")->size(), QSize(75, 60));
        QVERIFY(!icon(0, "icon2"));  // 32
        QCOMPARE(icon(1, "icon1")->imageName(), QStringLiteral("b7.gif"));
        QCOMPARE(icon(1, "icon1")->size(), QSize(20, 20));
        QVERIFY(!icon(1, "icon2"));  // empty
        QVERIFY(!icon(2, "icon1"));  // "x"
        QCOMPARE(icon(2, "icon2")->imageName(), QStringLiteral("b1.gif"));
        QCOMPARE(icon(3, "icon1")->imageName(), QStringLiteral("b31.gif"));
        QVERIFY(!icon(3, "icon2"));  // absent
        QCOMPARE(icon(4, "icon1")->imageName(), QStringLiteral("b0.gif"));
    }

    void theIconCodeIsTheLeadingInteger_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("code");  // -1: no icon
        QTest::newRow("absent") << QString() << false << -1;
        QTest::newRow("empty") << QString() << true << -1;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("seven") << "7" << true << 7;
        QTest::newRow("thirty-one") << "31" << true << 31;
        QTest::newRow("thirty-two") << "32" << true << -1;
        QTest::newRow("huge") << "99999999999999999999" << true << -1;
        QTest::newRow("leading digits") << "7.gif" << true << 7;
        QTest::newRow("no digits") << "x" << true << -1;
        QTest::newRow("negative") << "-1" << true << -1;
    }
    void theIconCodeIsTheLeadingInteger() {
        QFETCH(QString, value);
        QFETCH(bool, present);
        QFETCH(int, code);
        const auto found =
            WeatherDetailView::iconCode(present ? Text(value.toStdString()) : Text());
        QCOMPARE(found.value_or(-1), code);
    }

    void cardPicturesAreDrawnOnceAndKeptByName() {
        AvatarPictures& pictures = AvatarPictures::shared();
        pictures.clear();
        QSignalSpy ready(&pictures, &AvatarPictures::pictureReady);
        QVERIFY(pictures.picture(QStringLiteral("avatar1"), 2).isNull());
        QVERIFY(pictures.picture(QStringLiteral("avatar1"), 2).isNull());  // still drawing
        QVERIFY(ready.wait(kWaitMs));
        QCOMPARE(ready.count(), 1);
        const QImage drawn = pictures.picture(QStringLiteral("avatar1"), 2);
        QCOMPARE(drawn.size(), QSize(70, 70));
        QCOMPARE(drawn.devicePixelRatio(), 2.0);
        QVERIFY(drawn.pixelColor(35, 35).alpha() > 0);
        // A name without a picture is known as missing after one look.
        QVERIFY(pictures.picture(QStringLiteral("avatar7"), 2).isNull());
        QVERIFY(ready.wait(kWaitMs));
        QVERIFY(pictures.isKnown(QStringLiteral("avatar7"), 2));
        QVERIFY(pictures.picture(QStringLiteral("avatar7"), 2).isNull());
        QCOMPARE(ready.count(), 2);
        // Drawings started before clear() do not fill the cache again.
        QVERIFY(pictures.picture(QStringLiteral("avatar0"), 1).isNull());
        pictures.clear();
        joinBackgroundThreads();
        QCoreApplication::processEvents();
        QVERIFY(!pictures.isKnown(QStringLiteral("avatar0"), 1));
    }

    void everyPictureTheLookupsNameIsThere() {
        QStringList names = {"dividerline.png", "avatar0", "avatar1", "btnback1.png",
                             "btn_background1.png"};
        names << WeatherDetailView::big_array() << WeatherDetailView::small_array();
        QCOMPARE(names.size(), 5 + 64);
        for (const QString& name : names) {
            const QString path = imageSvgPath(name);
            QVERIFY2(!path.isEmpty(), qPrintable(name));
            QSvgRenderer renderer(path);
            QVERIFY2(renderer.isValid(), qPrintable(name));
        }
        for (const QString& name : WeatherDetailView::big_array()) {
            AnimatedImageView view;
            view.setImageName(name);
            QVERIFY2(view.isAnimated(), qPrintable(name));
            QSvgRenderer renderer(imageSvgPath(name));
            QCOMPARE(renderer.defaultSize(), QSize(75, 60));
        }
        QCOMPARE(QSvgRenderer(imageSvgPath(QStringLiteral("b5.gif"))).defaultSize(), QSize(20, 20));
    }
};

}  // namespace oa

OA_QT_TEST(LookupCardTest)
#include "LookupCardTest.moc"

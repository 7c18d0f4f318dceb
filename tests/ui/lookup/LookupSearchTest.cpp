// The search views of the lookup screen against the demo server and held replies: searching on
// every edit with one search at a time, the address book's return key, the area-code form and
// its place list, the weather presets.
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "LookupHost.h"
#include "core/protocol/TelNoBO.h"
#include "ui/controller/lookup/AddressView.h"
#include "ui/controller/lookup/LookupRowCell.h"
#include "ui/controller/lookup/TelNoDetailView.h"
#include "ui/controller/lookup/TelNoView.h"
#include "ui/controller/lookup/UserView.h"
#include "ui/controller/lookup/WeatherView.h"
#include "ui/controller/main/RowLabel.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/TextField.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using test::CannedReply;
using test::HttpTestServer;
using test::kWaitMs;
using test::LookupHost;

constexpr char kSearchPage[] = "/mobile/inc/get_contactlist.php";
constexpr char kAddressPage[] = "/mobile/address/data.php";
constexpr char kTelNoPage[] = "/mobile/tel_no/data.php";

template <class View>
View* searchView(OtherFuncController* lookup) {
    return qobject_cast<View*>(lookup->searchView());
}

QStringList names(const UserView::People& people) {
    QStringList list;
    for (const auto& person : people) {
        list << QString::fromStdString(person->user_name.value_or("?"));
    }
    return list;
}

void clickBarButton(OtherFuncController* lookup) {
    auto* button = qobject_cast<BarButton*>(lookup->rightBarButtonItem());
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class LookupSearchTest : public QObject {
    Q_OBJECT

private slots:
    void init() { GlobalVar::getInstance_global().resetForTesting(); }

    void typingANameEndsOnThePeopleOfTheWholeName() {
        QVERIFY(test::signInToDemo());
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("user", "人员查询");
        auto* view = searchView<UserView>(lookup);
        QVERIFY(view);
        QCOMPARE(view->name_txt()->placeholderText(), QStringLiteral("输入姓名"));
        test::typeText(view->name_txt(), QStringLiteral("王"));
        QTRY_VERIFY_WITH_TIMEOUT(names(view->list()).contains(QStringLiteral("王建国")), kWaitMs);
        QVERIFY(names(view->list()).contains(QStringLiteral("王浩")));
        test::typeText(view->name_txt(), QStringLiteral("浩"));
        QTRY_COMPARE_WITH_TIMEOUT(names(view->list()), QStringList{QStringLiteral("王浩")},
                                  kWaitMs);

        auto* cell =
            qobject_cast<LookupRowCell*>(view->table_view()->cellForRowAtIndexPath({0, 0}));
        QVERIFY(cell);
        QCOMPARE(cell->firstLabel(0)->text(), QStringLiteral("王浩"));
        QCOMPARE(cell->firstLabel(1)->text(), QStringLiteral("(软件工程师)"));
        QCOMPARE(cell->secondLabel()->text(), QStringLiteral("部门：技术研发部"));
        QVERIFY(cell->firstLabel(1)->x() >= cell->firstLabel(0)->geometry().right() + 1);
        QVERIFY(!cell->divider()->pixmap().isNull());
    }

    void aHeldReplyForAShorterTextNeverReplacesTheLongerOnesResult() {
        HttpTestServer server;
        server.setHandler(kSearchPage, [](const test::CapturedRequest& request,
                                          HttpTestServer::Exchange& exchange) {
            if (test::formValue(request, "KWORD") == QStringLiteral("王")) {
                exchange.waitForRelease();
                exchange.reply(test::json(R"([{"user_uid":"1","user_name":"王建国"},)"
                                          R"({"user_uid":"11","user_name":"王浩"}])"));
            } else {
                exchange.reply(test::json(R"([{"user_uid":"11","user_name":"王浩"}])"));
            }
        });
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("user");
        auto* view = searchView<UserView>(lookup);
        QSignalSpy shown(view, &UserView::listChanged);

        test::typeText(view->name_txt(), QStringLiteral("王"));
        QVERIFY(server.waitForInFlight(1));
        test::typeText(view->name_txt(), QStringLiteral("浩"));
        // A second request running beside the held one would arrive now; none may.
        QVERIFY(!server.waitForRequests(2, std::chrono::milliseconds(300)));
        QVERIFY(lookup->isSearching());
        server.release();
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 2, kWaitMs);
        QCOMPARE(names(view->list()), QStringList{QStringLiteral("王浩")});
        QTRY_VERIFY_WITH_TIMEOUT(!lookup->isSearching(), kWaitMs);
        QCOMPARE(server.peakInFlight(), 1);
        QCOMPARE(server.requests().size(), std::size_t(2));
        QCOMPARE(test::formValue(server.requests().back(), "KWORD"), QStringLiteral("王浩"));
    }

    void newerTextsReplaceTheOneWaitingBehindARunningSearch() {
        HttpTestServer server;
        server.setHandler(kSearchPage, [](const test::CapturedRequest& request,
                                          HttpTestServer::Exchange& exchange) {
            if (test::formValue(request, "KWORD") == QStringLiteral("a")) {
                exchange.waitForRelease();
            }
            exchange.reply(test::json(R"([{"user_name":")" +
                                      test::formValue(request, "KWORD").toStdString() + R"("}])"));
        });
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("user");
        auto* view = searchView<UserView>(lookup);
        test::typeText(view->name_txt(), QStringLiteral("a"));
        QVERIFY(server.waitForInFlight(1));
        test::typeText(view->name_txt(), QStringLiteral("bc"));
        server.release();
        QTRY_VERIFY_WITH_TIMEOUT(!lookup->isSearching(), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(names(view->list()), QStringList{QStringLiteral("abc")}, kWaitMs);
        // "ab" was replaced while it waited.
        QCOMPARE(server.requests().size(), std::size_t(2));
    }

    void returnEndsEditingWhichSearchesOnceMore() {
        HttpTestServer server;
        server.setReply(kSearchPage, test::json(R"([{"user_uid":"11","user_name":"王浩"}])"));
        test::useServer(server);
        LookupHost host;
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QPointer<OtherFuncController> lookup = host.open("user");
        auto* view = searchView<UserView>(lookup);
        QTest::mouseClick(view->name_txt(), Qt::LeftButton);
        test::typeText(view->name_txt(), QStringLiteral("王浩"));
        QTRY_VERIFY_WITH_TIMEOUT(!lookup->isSearching() && server.requests().size() >= 1, kWaitMs);
        const std::size_t typed = server.requests().size();
        QTest::keyClick(view->name_txt(), Qt::Key_Return);
        QVERIFY(!view->name_txt()->isEditing());
        QVERIFY(server.waitForRequests(typed + 1));
        QCOMPARE(test::formValue(server.requests().back(), "KWORD"), QStringLiteral("王浩"));
        QCOMPARE(test::formNames(server.requests().back()), (QStringList{"P", "KWORD"}));
    }

    void aNameOfNobodySaysNothingWasFound_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("人员查询") << "user";
        QTest::newRow("通讯簿") << "address";
    }
    void aNameOfNobodySaysNothingWasFound() {
        QFETCH(QString, key);
        QVERIFY(test::signInToDemo());
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open(key.toStdString());
        QWidget* view = lookup->searchView();
        TextField* name = view->findChild<TextField*>(QStringLiteral("name_txt"));
        QVERIFY(name);
        test::typeText(name, QStringLiteral("没有此人"));
        QTest::keyClick(name, Qt::Key_Return);
        auto said = [view] {
            auto* label = view->findChild<QLabel*>(QStringLiteral("nothingFound"));
            return label && label->isVisible() ? label->text() : QString();
        };
        // The typed name may have started a search of its own before Return: wait for the last.
        QTRY_VERIFY_WITH_TIMEOUT(!lookup->isSearching(), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(said(), QStringLiteral("没有找到相关信息"), kWaitMs);
    }

    void theAddressBookSearchesOnReturnOnlyWithBothFields() {
        HttpTestServer server;
        server.setReply(kAddressPage,
                        test::json(R"([{"q_id":"7","group_name":"客户","psn_name":"黄磊",)"
                                   R"("sex":"男","dept_name":"采购部"},"stray",)"
                                   R"({"q_id":"3","group_name":"供应商","psn_name":"林芳"}])"));
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("address", "通讯簿");
        auto* view = searchView<AddressView>(lookup);
        QVERIFY(view);
        QCOMPARE(view->name_txt()->placeholderText(), QStringLiteral("请填写姓名"));
        QCOMPARE(view->corp_txt()->placeholderText(), QStringLiteral("请填写单位"));
        QSignalSpy shown(view, &AddressView::listChanged);

        // Both empty: the search still goes, with empty texts.
        QTest::keyClick(view->name_txt(), Qt::Key_Return);
        QVERIFY(shown.wait(kWaitMs));
        QCOMPARE(server.requests().size(), std::size_t(1));
        const auto first = server.requests().front();
        QCOMPARE(test::formNames(first), (QStringList{"P", "ATYPE", "PSN_NAME", "DEPT_NAM"}));
        QCOMPARE(test::formValue(first, "PSN_NAME"), QString());
        QCOMPARE(test::formValue(first, "DEPT_NAM"), QString());
        QCOMPARE(view->list().size(), std::size_t(2));
        QCOMPARE(*view->list()[0]->psn_name, std::string("黄磊"));
        QCOMPARE(*view->list()[1]->psn_name, std::string("林芳"));
        auto* cell =
            qobject_cast<LookupRowCell*>(view->table_view()->cellForRowAtIndexPath({0, 0}));
        QCOMPARE(cell->firstLabel(2)->text(), QStringLiteral("（男）"));
        QCOMPARE(cell->secondLabel()->text(), QStringLiteral("部门：采购部"));
        // Without a sex nothing stands in brackets, and an absent department shows nothing.
        cell = qobject_cast<LookupRowCell*>(view->table_view()->cellForRowAtIndexPath({0, 1}));
        QVERIFY(cell->firstLabel(2)->isHidden());
        QCOMPARE(cell->secondLabel()->text(), QStringLiteral("部门："));

        // Typing alone sends nothing; return in the organisation field sends both texts.
        test::typeText(view->name_txt(), QStringLiteral("黄"));
        test::typeText(view->corp_txt(), QStringLiteral("远景"));
        QTest::keyClick(view->corp_txt(), Qt::Key_Return);
        QVERIFY(shown.wait(kWaitMs));
        QCOMPARE(server.requests().size(), std::size_t(2));
        QCOMPARE(test::formValue(server.requests().back(), "PSN_NAME"), QStringLiteral("黄"));
        QCOMPARE(test::formValue(server.requests().back(), "DEPT_NAM"), QStringLiteral("远景"));
    }

    void emptyAreaCodeFieldsOpenEveryPlaceOfTheServer() {
        QVERIFY(test::signInToDemo());
        const std::size_t places = TelNoBO::telList(TelNoBO().httpJsonInfo({})).size();
        QVERIFY(places > 2);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("tel_no", "区号邮编");
        auto* view = searchView<TelNoView>(lookup);
        QVERIFY(view);
        clickBarButton(lookup);
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        auto* list = qobject_cast<TelNoDetailView*>(host.topDetail()->detailView());
        QVERIFY(list);
        QCOMPARE(list->places().size(), places);
        QCOMPARE(list->table()->rectForRowAtIndexPath({0, 0}).height(), 220.0);
    }

    void searchingTwiceOpensOnePlaceList() {
        HttpTestServer server;
        server.setHandler(
            kTelNoPage, [](const test::CapturedRequest&, HttpTestServer::Exchange& exchange) {
                exchange.waitForRelease();
                exchange.reply(
                    test::json(R"([{"province":"浙江省","city":"杭州市","tel_no":"0571"}])"));
            });
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("tel_no");
        auto* view = searchView<TelNoView>(lookup);
        test::typeText(view->city_txt(), QStringLiteral("杭州"));
        clickBarButton(lookup);
        QVERIFY(server.waitForInFlight(1));
        clickBarButton(lookup);
        server.release(2);
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!lookup->isSearching(), kWaitMs);
        QCoreApplication::processEvents();
        QCOMPARE(host.depth(), 3);
        QCOMPARE(server.requests().size(), std::size_t(1));
        const auto request = server.requests().front();
        QCOMPARE(test::formNames(request),
                 (QStringList{"P", "ATYPE", "AREA", "TEL_NO", "POST_NO"}));
        QCOMPARE(test::formValue(request, "AREA"), QStringLiteral("杭州"));
        QVERIFY(test::waitShown(host.topDetail()));
        auto* list = qobject_cast<TelNoDetailView*>(host.topDetail()->detailView());
        QCOMPARE(TelNoDetailView::lines(list->places().at(0)).at(4), QStringLiteral("区号：0571"));
    }

    void thePostCodeFieldIsLabelledAndLiftsTheFormWhileEdited() {
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("tel_no");
        auto* view = searchView<TelNoView>(lookup);
        QStringList labels;
        for (QLabel* label : view->form()->findChildren<QLabel*>()) {
            labels << label->text();
        }
        QCOMPARE(labels, (QStringList{QStringLiteral("市/区/县/街道的名称包括："),
                                      QStringLiteral("区号："), QStringLiteral("邮编：")}));
        QVERIFY(view->post_txt()->geometry().top() > view->code_txt()->geometry().bottom());

        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QTest::mouseClick(view->post_txt(), Qt::LeftButton);
        QTRY_COMPARE(view->form()->y(), -TelNoView::kLift);
        QTest::keyClick(view->post_txt(), Qt::Key_Return);
        QTRY_COMPARE(view->form()->y(), 0);
        QVERIFY(!view->post_txt()->isEditing());
    }

    void aPresetCityOpensItsForecast() {
        HttpTestServer server;
        server.setReply("/mobile/weather/data.php", test::json("[]"));
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("weather", "天气预报");
        auto* view = searchView<WeatherView>(lookup);
        QVERIFY(view);
        QCOMPARE(view->city_text()->placeholderText(), QStringLiteral("输入城市名称"));
        QCOMPARE(view->city_arr(),
                 (QStringList{"北京", "上海", "广州", "深圳", "香港", "重庆", "南京"}));
        TableViewCell* hongKong = view->table_view()->cellForRowAtIndexPath({0, 4});
        QVERIFY(hongKong);
        QCOMPARE(hongKong->height(), WeatherView::kRowHeight);
        QTest::mouseClick(hongKong, Qt::LeftButton, {}, hongKong->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        QCOMPARE(*host.topDetail()->city_name(), std::string("香港"));
        const auto request = server.requests().at(0);
        QCOMPARE(test::formNames(request), (QStringList{"P", "CITY_NAME"}));
        QCOMPARE(test::formValue(request, "CITY_NAME"), QStringLiteral("香港"));
    }

    // A search that finds nothing says so instead of opening a blank screen.
    void aSearchWithoutAMatchSaysSo_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("page");
        QTest::newRow("area code") << "tel_no" << kTelNoPage;
        QTest::newRow("weather of an empty city") << "weather"
                                                  << "/mobile/weather/data.php";
    }
    void aSearchWithoutAMatchSaysSo() {
        QFETCH(QString, key);
        QFETCH(QString, page);
        HttpTestServer server;
        server.setReply(page.toStdString(), test::json("[]"));
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open(key.toStdString());
        clickBarButton(lookup);
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QVERIFY(test::waitShown(host.topDetail()));
        QLabel* said = host.topDetail()->detailView()->nothingFoundLabel();
        QVERIFY(said && said->isVisible());
        QCOMPARE(said->text(), QStringLiteral("没有找到相关信息"));
    }

    void theTypedCityIsSearchedFromTheBar() {
        HttpTestServer server;
        server.setReply("/mobile/weather/data.php", test::json("[]"));
        test::useServer(server);
        LookupHost host;
        QPointer<OtherFuncController> lookup = host.open("weather");
        auto* view = searchView<WeatherView>(lookup);
        test::typeText(view->city_text(), QStringLiteral("杭州"));
        QTest::keyClick(view->city_text(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(host.depth(), 2);
        clickBarButton(lookup);
        QTRY_VERIFY_WITH_TIMEOUT(host.topDetail(), kWaitMs);
        QCOMPARE(*host.topDetail()->city_name(), std::string("杭州"));
    }
};

}  // namespace oa

OA_QT_TEST(LookupSearchTest)
#include "LookupSearchTest.moc"

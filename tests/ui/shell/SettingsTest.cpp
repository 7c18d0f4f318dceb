// The network environments screen: storing with default names and refreshing the sign-in
// screen, the editing button and moves, leaving without saving, and opening it from both places.
#include <QtTest>

#include "ShellTest.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/OtherView.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TextField.h"
#include "ui/kit/ViewTags.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"
#include "ui/session/SetController.h"

namespace oa {

namespace {

const SetDictionary kStored{{"name1", "总部"}, {"ip1", "10.0.0.1"}, {"name2", ""},      {"ip2", ""},
                            {"name3", ""},     {"ip3", ""},         {"im_port", "1188"}};

QString rightTitle(const SetController* set) {
    const auto* button = qobject_cast<const BarButton*>(set->rightBarButtonItem());
    return button ? button->text() : QString();
}

// Opens the settings screen from the sign-in screen.
SetController* openFromSignIn(shell::Screen& screen) {
    screen.login()->loginView()->pushSet();
    auto* set = screen.topAs<SetController>();
    if (set) {
        set->view();
    }
    return set;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsShowTheStoredSettingsByTag() {
        shell::Environment env;
        shell::Environment::storeSettings(kStored);
        shell::Screen screen;
        SetController* set = openFromSignIn(screen);
        QVERIFY(set);
        QVERIFY(!screen.nav()->isNavigationBarHidden());
        QCOMPARE(set->title(), QString());
        QCOMPARE(set->tableView()->style(), TableView::Style::Grouped);
        QVERIFY(!set->tableView()->isScrollEnabled());
        QCOMPARE(set->tableView()->numberOfRowsInSection(0), 6);
        QCOMPARE(set->tableView()->numberOfRowsInSection(1), 1);
        const std::pair<int, const char*> expected[] = {
            {1017, "总部"}, {1018, "10.0.0.1"}, {1019, ""},    {1020, ""},
            {1021, ""},     {1022, ""},         {1016, "1188"}};
        for (const auto& [tagValue, text] : expected) {
            // The fields sit in the table's rows, where a tap finds them.
            auto* field = viewWithTag<TextField>(set->tableView(), tagValue);
            QVERIFY2(field, qPrintable(QString::number(tagValue)));
            QCOMPARE(field->text(), QString::fromUtf8(text));
        }
        QCOMPARE(rightTitle(set), QString("保存"));
        QCOMPARE(qobject_cast<BarButton*>(set->leftBarButtonItem())->text(), QString("  返回"));
    }

    void savingNamesUnnamedEnvironmentsAndRefreshesTheSignInScreen() {
        shell::Environment env;
        shell::Environment::storeSettings(kStored);
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        GlobalVar::getInstance_global().setChoiceKey("name2");

        SetController* set = openFromSignIn(screen);
        set->field(SetController::kIp2Tag)->setText("oa.example:8080");
        set->field(SetController::kName3Tag)->setText("只有名字");
        set->save();

        const SetDictionary expected{{"name1", "总部"},     {"ip1", "10.0.0.1"},
                                     {"name2", "网络2"},    {"ip2", "oa.example:8080"},
                                     {"name3", "只有名字"}, {"ip3", ""},
                                     {"im_port", "1188"}};
        QCOMPARE(LoginBO().getSetPlistInfo(), std::optional<SetDictionary>(expected));
        // Back on the sign-in screen, which shows the chosen environment anew, address as typed.
        QCOMPARE(screen.top(), screen.login());
        QVERIFY(screen.nav()->isNavigationBarHidden());
        QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), QString("网络2"));
        QCOMPARE(form->field(LoginView::kAddressTag)->text(), QString("oa.example:8080"));
        // The environment with a name and no address stays out of the chooser.
        QCOMPARE(LoginView::choiceOptions(expected).size(), std::size_t(2));
    }

    void savingEverythingEmptyStoresSevenEmptyTexts() {
        shell::Environment env;
        shell::Environment::storeSettings(kStored);
        shell::Screen screen;
        GlobalVar::getInstance_global().setChoiceKey("name1");
        SetController* set = openFromSignIn(screen);
        for (int tagValue = 1016; tagValue <= 1022; ++tagValue) {
            set->field(tagValue)->clear();
        }
        set->save();
        const SetDictionary empty{{"name1", ""}, {"ip1", ""}, {"name2", ""},  {"ip2", ""},
                                  {"name3", ""}, {"ip3", ""}, {"im_port", ""}};
        QCOMPARE(LoginBO().getSetPlistInfo(), std::optional<SetDictionary>(empty));
        LoginView* form = screen.login()->loginView();
        QCOMPARE(form->field(LoginView::kAddressTag)->text(), QString());
        form->openChoiceView();
        QCOMPARE(form->choiceView()->title(), QString("请先去设置网络环境"));
        form->choiceView()->cancel();
    }

    void refreshWithoutAChosenEnvironmentEmptiesBothFields() {
        shell::Environment env;
        shell::Environment::storeSettings(kStored);
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        form->field(LoginView::kAddressTag)->setText("old");
        form->field(LoginView::kEnvironmentNameTag)->setText("old");
        openFromSignIn(screen)->save();
        QCOMPARE(form->field(LoginView::kAddressTag)->text(), QString());
        QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), QString());
    }

    void leavingWithoutSavingStoresNothing() {
        shell::Environment env;
        shell::Environment::storeSettings(kStored);
        shell::Screen screen;
        SetController* set = openFromSignIn(screen);
        set->field(SetController::kIp1Tag)->setText("changed");
        qobject_cast<BarButton*>(set->leftBarButtonItem())->click();
        QCOMPARE(screen.top(), screen.login());
        QVERIFY(screen.nav()->isRevealing());
        QCOMPARE(LoginBO().getSetPlistInfo(), std::optional<SetDictionary>(kStored));
        QTRY_VERIFY(!screen.nav()->isRevealing());
    }

    void editingSwapsTheButtonAndMovesForTheLowestFields_data() {
        QTest::addColumn<int>("tagValue");
        QTest::addColumn<int>("offset");
        QTest::newRow("name 1") << 1017 << 0;
        QTest::newRow("address 2") << 1020 << 0;
        QTest::newRow("name 3") << 1021 << -140;
        QTest::newRow("address 3") << 1022 << -140;
        QTest::newRow("IM port") << 1016 << -140;
    }

    void editingSwapsTheButtonAndMovesForTheLowestFields() {
        QFETCH(int, tagValue);
        QFETCH(int, offset);
        shell::Environment env;
        shell::Screen screen;
        SetController* set = openFromSignIn(screen);
        TextField* field = set->field(tagValue);

        set->textFieldDidBeginEditing(field);
        QCOMPARE(rightTitle(set), QString("确定"));
        QCOMPARE(set->contentOffset(), offset);
        // "确定" ends the editing and brings "保存" back.
        qobject_cast<BarButton*>(set->rightBarButtonItem())->click();
        QCOMPARE(rightTitle(set), QString("保存"));
        QCOMPARE(set->contentOffset(), 0);

        // The return key moves back but leaves the button as it is.
        set->textFieldDidBeginEditing(field);
        set->textFieldShouldReturn(field);
        QCOMPARE(set->contentOffset(), 0);
        QCOMPARE(rightTitle(set), QString("确定"));
        QTRY_COMPARE(set->tableView()->y(), 0);

        // Saving while a field is edited stores what it holds.
        field->setText("1");
        qobject_cast<BarButton*>(set->rightBarButtonItem())->click();  // "确定"
        qobject_cast<BarButton*>(set->rightBarButtonItem())->click();  // "保存"
        const auto stored = LoginBO().getSetPlistInfo();
        QVERIFY(stored);
        QCOMPARE(std::count_if(stored->begin(), stored->end(),
                               [](const auto& entry) { return entry.second == "1"; }),
                 1);
    }

    void theMorePageOpensTheSameScreen() {
        shell::Environment env;
        shell::Environment::storeSettings(kStored);
        shell::Screen screen;
        auto* index = new IndexController;
        index->setFunc_array({"email"});
        screen.nav()->pushViewController(index, false);
        index->changeView("affairs");
        OtherView* more = index->other_view();
        more->didSelectRowAtIndexPath(more->tableView(), {0, 0});
        auto* set = screen.topAs<SetController>();
        QVERIFY(set);
        set->view();
        QCOMPARE(set->field(SetController::kName1Tag)->text(), QString("总部"));
        set->clickToBack();
        QCOMPARE(screen.top(), index);
        QVERIFY(!screen.nav()->isNavigationBarHidden());
    }
};

}  // namespace oa

OA_SHELL_TEST(SettingsTest)
#include "SettingsTest.moc"

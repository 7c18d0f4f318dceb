// The recipient picker against a loopback directory server: which search reply the list shows,
// how ticks turn into the choice across searches and namesakes, and what choosing departments
// adds (request, no person twice, members ticked, 150 departments, the filter).
#include <QSignalSpy>
#include <QtTest>
#include <any>
#include <fstream>
#include <memory>
#include <sstream>

#include "PickerServer.h"
#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/UserBO.h"
#include "ui/controller/write/AddReciverViewController.h"
#include "ui/controller/write/BranchViewController.h"
#include "ui/controller/write/TickCell.h"
#include "ui/kit/TextField.h"
#include "ui/kit/TickButton.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using picker::person;
using People = AddReciverViewController::People;

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(OA_TEST_DATA_DIR) + "/replies/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

QStringList namesOf(const People& people) {
    QStringList names;
    for (const auto& one : people) {
        names << QString::fromStdString(one->user_id.value_or("?"));
    }
    return names;
}

}  // namespace

class PickerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<picker::PickerServer> server_;
    std::unique_ptr<AddReciverViewController> picker_;

    void search(const QString& text) {
        QSignalSpy shown(picker_.get(), &AddReciverViewController::searchShown);
        picker_->textFieldDidChange(text);
        QVERIFY(shown.wait(10000));
    }

    // The tick of the shown row as drawn.
    bool rowTicked(int row) {
        auto* cell = qobject_cast<TickCell*>(picker_->tableView()->cellForRowAtIndexPath({0, row}));
        return cell && cell->isTicked();
    }

    // Opens the department screen, waits for its list, ticks `rows` (all shown ones with
    // "全选") and confirms; returns once the members were added.
    void chooseDepartments(const QList<int>& rows, bool all = false) {
        picker_->clickToChoose();
        BranchViewController* branch = picker_->branchScreen();
        QVERIFY(branch);
        QSignalSpy loaded(branch, &BranchViewController::listLoaded);
        branch->view()->resize(320, 416);
        branch->view()->show();
        QVERIFY(loaded.wait(10000));
        for (int row : rows) {
            branch->clickToCheck(row, true);
        }
        if (all) {
            branch->clickToChoose(QStringLiteral("全选"));
        }
        QSignalSpy added(picker_.get(), &AddReciverViewController::membersAdded);
        branch->clickToChoose(QStringLiteral("确定"));
        QVERIFY(added.wait(10000));
    }

private slots:
    void init() {
        server_ = std::make_unique<picker::PickerServer>();
        picker_ = std::make_unique<AddReciverViewController>();
        picker_->view()->resize(320, 416);
        picker_->view()->show();
    }

    void cleanup() {
        picker_.reset();
        server_->server.release(10);
        joinBackgroundThreads();
        QCoreApplication::sendPostedEvents();
        server_.reset();
    }

    void onlyTheReplyToTheLatestTextIsShown() {
        server_->setSearch("张",
                           "[" + person("a", "1", "张一") + "," + person("b", "2", "张伟") + "]");
        server_->setSearch("张伟", "[" + person("b", "2", "张伟") + "]");
        server_->holdSearch("张");
        QSignalSpy shown(picker_.get(), &AddReciverViewController::searchShown);
        picker_->textFieldDidChange("张");
        QVERIFY(server_->server.waitForInFlight(1));
        picker_->textFieldDidChange("张伟");
        QVERIFY(picker_->isSearching());
        server_->server.release();
        QVERIFY(shown.wait(10000));
        QCOMPARE(namesOf(picker_->list()), QStringList({"b"}));
        QTRY_VERIFY_WITH_TIMEOUT(!picker_->isSearching(), 10000);
        joinBackgroundThreads();
        QCoreApplication::sendPostedEvents();
        // The delayed reply to the first text never showed, before or after the second's.
        QCOMPARE(shown.size(), 1);
        QCOMPARE(namesOf(picker_->list()), QStringList({"b"}));
        QCOMPARE(picker_->tableView()->numberOfRowsInSection(0), 1);
    }

    void anotherScreensSearchDoesNotFillTheList() {
        server_->setSearch("李", "[" + person("l", "9", "李娜") + "]");
        search("李");
        auto other = std::make_shared<UserVO>();
        other->user_id = "x";
        NotificationCenter::defaultCenter().post(UserBO::kSearchNotification,
                                                 std::any(UserBO::People{other}));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(namesOf(picker_->list()), QStringList({"l"}));
    }

    void ticksAddUpAcrossSearchesInTickingOrder() {
        server_->setSearch("张",
                           "[" + person("zw", "1", "张伟") + "," + person("zl", "2", "张蕾") + "]");
        server_->setSearch("李", "[" + person("ln", "3", "李娜") + "]");
        server_->setSearch("伟", "[" + person("zw", "1", "张伟") + "]");
        search("张");
        picker_->clickToCheckIt(1, true);
        search("李");
        picker_->clickToCheckIt(0, true);
        search("张");
        QVERIFY(!rowTicked(0));
        QVERIFY(rowTicked(1));
        picker_->clickToCheckIt(0, true);
        People handed;
        int calls = 0;
        picker_->userinfoCallBack([&](People people) {
            handed = std::move(people);
            ++calls;
        });
        picker_->clickToSet();
        QCOMPARE(calls, 1);
        QCOMPARE(namesOf(handed), QStringList({"zl", "ln", "zw"}));

        // Unticking a person found again by a later search drops them from the choice.
        search("伟");
        QVERIFY(rowTicked(0));
        picker_->clickToCheckIt(0, false);
        QCOMPARE(namesOf(picker_->user_arr()), QStringList({"zl", "ln"}));
    }

    void aTapOnTheTickBoxChoosesThePerson() {
        server_->setSearch("张",
                           "[" + person("zw", "1", "张伟") + "," + person("zl", "2", "张蕾") + "]");
        search("张");
        auto* cell = qobject_cast<TickCell*>(picker_->tableView()->cellForRowAtIndexPath({0, 1}));
        QVERIFY(cell);
        QTest::mouseClick(cell->tickBox(), Qt::LeftButton);
        QCOMPARE(namesOf(picker_->user_arr()), QStringList({"zl"}));
        QVERIFY(rowTicked(1));
        QVERIFY(!rowTicked(0));
    }

    void namesakesAreTickedOneByOne() {
        // Two people of the same name in the same department.
        server_->setSearch(
            "王", "[" + person("wang1", "11", "王芳") + "," + person("wang2", "12", "王芳") + "]");
        search("王");
        picker_->clickToCheckIt(0, true);
        QVERIFY(rowTicked(0));
        QVERIFY(!rowTicked(1));
        QVERIFY(!picker_->isAlreadyIn(*picker_->list()[1]));
        picker_->clickToCheckIt(1, true);
        picker_->clickToCheckIt(0, false);
        QCOMPARE(namesOf(picker_->user_arr()), QStringList({"wang2"}));
    }

    void nobodyChosenHandsOnAnEmptyChoice() {
        bool called = false;
        People handed{std::make_shared<UserVO>()};
        picker_->userinfoCallBack([&](People people) {
            called = true;
            handed = std::move(people);
        });
        picker_->clickToSet();
        QVERIFY(called);
        QVERIFY(handed.empty());
    }

    void departmentsAddTheirMembersTickedAndNobodyTwice() {
        server_->setDepts(R"([{"dept_id":"1","dept_name":"总经办"},)"
                          R"({"dept_id":"2","dept_name":"研发部"},)"
                          R"({"dept_id":"5","dept_name":"财务部"}])");
        server_->setSearch("张",
                           "[" + person("zw", "1", "张伟") + "," + person("zl", "2", "张蕾") + "]");
        // zw is listed and chosen, zl listed only, cf and ln are new.
        server_->setMembers("[" + person("zw", "1", "张伟") + "," + person("cf", "4", "陈芳") +
                            "," + person("zl", "2", "张蕾") + "," +
                            person("ln", "3", "李娜", "财务部") + "]");
        search("张");
        picker_->clickToCheckIt(0, true);
        chooseDepartments({1, 2});
        QCOMPARE(server_->memberRequests(), std::vector<std::string>({"2,5"}));
        QCOMPARE(namesOf(picker_->list()), QStringList({"zw", "zl", "cf", "ln"}));
        QCOMPARE(namesOf(picker_->user_arr()), QStringList({"zw", "cf", "zl", "ln"}));
        for (int row = 0; row < 4; ++row) {
            QVERIFY2(rowTicked(row), qPrintable(QString::number(row)));
        }

        // The same departments again add nobody twice.
        chooseDepartments({1, 2});
        QCOMPARE(picker_->list().size(), std::size_t(4));
        QCOMPARE(namesOf(picker_->user_arr()), QStringList({"zw", "cf", "zl", "ln"}));
    }

    void aFailedMemberRequestAddsNobody() {
        server_->setDepts(R"([{"dept_id":"2","dept_name":"研发部"}])");
        server_->setMembers("<html>error</html>");
        chooseDepartments({0});
        QVERIFY(picker_->list().empty());
        QVERIFY(picker_->user_arr().empty());
    }

    void allOf150DepartmentsAreChosenOnceEach() {
        server_->setDepts(fixture("dept_list_150.json"));
        BranchViewController branch;
        QSignalSpy loaded(&branch, &BranchViewController::listLoaded);
        branch.view()->resize(320, 416);
        branch.view()->show();
        QVERIFY(loaded.wait(10000));
        QCOMPARE(branch.dataAry().size(), std::size_t(150));
        DeptBO::Depts handed;
        int calls = 0;
        branch.callBack([&](const DeptBO::Depts& depts) {
            handed = depts;
            ++calls;
        });
        // A tick beyond the hundredth row and one before it, then everything.
        branch.clickToCheck(120, true);
        branch.clickToCheck(3, true);
        branch.clickToChoose(QStringLiteral("全选"));
        branch.clickToChoose(QStringLiteral("确定"));
        QCOMPARE(calls, 1);
        QCOMPARE(handed.size(), std::size_t(150));
        for (std::size_t i = 0; i < handed.size(); ++i) {
            QCOMPARE(handed[i].dept_id, std::optional<std::string>(std::to_string(i + 1)));
        }
        std::string all = "1";
        for (int id = 2; id <= 150; ++id) {
            all += "," + std::to_string(id);
        }
        QCOMPARE(DeptBO::joinIds(handed), all);
    }

    void theFilterShowsMatchingDepartmentsAndSelectAllTicksOnlyThose() {
        server_->setDepts(fixture("dept_list_150.json"));
        BranchViewController branch;
        QSignalSpy loaded(&branch, &BranchViewController::listLoaded);
        branch.view()->resize(320, 416);
        branch.view()->show();
        QVERIFY(loaded.wait(10000));
        QCOMPARE(branch.filterField()->placeholderText(), QStringLiteral("输入部门名称"));
        branch.filterField()->setText(QStringLiteral("财务"));
        QCOMPARE(branch.shownRows().size(), std::size_t(15));
        QCOMPARE(branch.tableView()->numberOfRowsInSection(0), 15);
        // Row 1 under the filter is 财务2部 (id 12).
        branch.clickToCheck(1, true);
        branch.filterField()->clear();
        QCOMPARE(branch.shownRows().size(), std::size_t(150));
        QVERIFY(branch.isChecked(11));
        QVERIFY(!branch.isChecked(1));

        branch.filterField()->setText(QStringLiteral("研发1"));
        QCOMPARE(branch.shownRows().size(), std::size_t(7));  // 研发1部, 研发10部 .. 研发15部
        branch.clickToChoose(QStringLiteral("全选"));
        branch.filterField()->clear();
        const DeptBO::Depts ticked = branch.checkedDepts();
        QStringList ids;
        for (const DeptVO& dept : ticked) {
            ids << QString::fromStdString(*dept.dept_id);
        }
        QCOMPARE(ids, QStringList({"1", "12", "91", "101", "111", "121", "131", "141"}));
    }

    void aFailedDepartmentListShowsNone() {
        server_->setDepts("not json");
        BranchViewController branch;
        QSignalSpy loaded(&branch, &BranchViewController::listLoaded);
        branch.view()->show();
        QVERIFY(loaded.wait(10000));
        QVERIFY(branch.dataAry().empty());
        bool called = false;
        branch.callBack([&](const DeptBO::Depts& depts) { called = depts.empty(); });
        branch.clickToChoose(QStringLiteral("确定"));
        QVERIFY(called);
    }
};

OA_QT_TEST(PickerTest)

}  // namespace oa
#include "PickerTest.moc"

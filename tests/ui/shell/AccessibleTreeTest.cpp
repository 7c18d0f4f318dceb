// What a screen reader finds on the client's screens: every visible control has a name, list
// rows and grid cells read as one line, switches and badges tell their values.
#include <QtTest>

#include "ShellTest.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/MyImageView.h"
#include "ui/controller/main/MyView.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/AccessibleTree.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/AlertView.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/PullingRefreshTableView.h"
#include "ui/kit/TextField.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"
#include "ui/session/SetController.h"

namespace oa {

namespace {

constexpr int kReplyMs = 15000;

// Walks the window's accessible tree: false, with the tree printed, when a visible control has
// no name or the screen does not read `mustRead` (it is not the screen meant, or not shown).
bool named(QWidget* window, const char* screen, const QString& mustRead) {
    const AccessibleTree tree = accessibleTree(window);
    if (tree.unnamed.isEmpty() && tree.text.contains(mustRead)) {
        return true;
    }
    qWarning().noquote() << screen << "- unnamed:" << tree.unnamed << "- must read:" << mustRead
                         << "\n"
                         << tree.text;
    return false;
}

MyView* cellOf(IndexController* index, const char* key) {
    for (MyView* cell : index->home_view()->cells()) {
        if (cell->func_name() == key) {
            return cell;
        }
    }
    return nullptr;
}

}  // namespace

class AccessibleTreeTest : public QObject {
    Q_OBJECT

private slots:
    void everyScreenNamesItsControls() {
        shell::Environment env;
        shell::Environment::storeDemoSettings();
        shell::Screen screen;
        QWidget* window = screen.window();
        LoginView* form = screen.login()->loginView();
        QVERIFY(named(window, "sign-in", QStringLiteral("EditableText \"密码\"")));

        form->openChoiceView();
        QTRY_VERIFY(form->choiceView() && form->choiceView()->isVisible());
        QVERIFY(named(window, "environments", QStringLiteral("ListItem \"演示\"")));
        form->choiceView()->select(0);
        QTRY_VERIFY(!form->choiceView());

        screen.login()->enterSetController();
        QTRY_VERIFY(screen.topAs<SetController>());
        QVERIFY(named(window, "settings", QStringLiteral("返回")));
        screen.topAs<SetController>()->clickToBack();
        QTRY_VERIFY(screen.topAs<LoginController>());

        form->field(LoginView::kNameTag)->setText("wangjianguo");
        form->field(LoginView::kPasswordTag)->setText("123456");
        form->loginEvent();
        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), kReplyMs);
        ProgressHUD::resetForTesting();
        auto* index = screen.topAs<IndexController>();
        index->home_view()->addPushFlag({{"email", "4"}});
        QVERIFY(named(window, "home", QStringLiteral("Button \"电子邮件，4 条未读\"")));

        BottomView* bar = index->bottom_view();
        const std::pair<const char*, const char*> tabs[] = {
            {"message", "PageTab \"微讯\" checked selected"},
            {"remind", "PageTab \"事务提醒\" checked selected"},
            {"affairs", "PageTab \"更多\" checked selected"},
            {"home", "PageTab \"首页\" checked selected"}};
        for (const auto& [tab, mustRead] : tabs) {
            bar->changeState(bar->item(tab));
            QVERIFY(named(window, tab, QString::fromUtf8(mustRead)));
        }

        QTest::mouseClick(cellOf(index, "email"), Qt::LeftButton);
        auto* list = screen.topAs<FuncController>();
        QVERIFY(list);
        QTRY_VERIFY_WITH_TIMEOUT(list->tableView()->numberOfRowsInSection(0) > 0, kReplyMs);
        QTRY_VERIFY(ProgressHUD::state() == ProgressHUD::State::Hidden);
        QVERIFY(named(window, "e-mail list", QStringLiteral("未读\"")));

        // The writing screen of the list, then the sheet and the alert over it.
        qobject_cast<BarButton*>(list->rightBarButtonItem())->click();
        QTRY_VERIFY(screen.topAs<WriteController>());
        QVERIFY(named(window, "write e-mail", QStringLiteral("Button \"添加抄送\"")));

        auto* sheet =
            new ActionSheet(QStringLiteral("附件"), nullptr, QStringLiteral("取消"), QString(),
                            {QStringLiteral("打开"), QStringLiteral("另存为…")});
        sheet->showInView(window);
        QVERIFY(named(window, "action sheet", QStringLiteral("Button \"另存为…\"")));
        sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex(), false);

        QPointer<AlertView> alert =
            new AlertView(QStringLiteral("提示"), QStringLiteral("确定删除吗？"), nullptr,
                          QStringLiteral("取消"), {QStringLiteral("确定")});
        alert->showInView(window);
        QVERIFY(named(window, "alert", QStringLiteral("AlertMessage \"提示\"")));
        alert->clickButtonAtIndex(0);
        QTRY_VERIFY(!alert);
        screen.nav()->popToViewController(index, false);
        QTRY_COMPARE(screen.top(), index);

        // A conversation of the 微讯 list.
        bar->changeState(bar->item("message"));
        TableView* conversations = index->message_view()->tableView();
        QTRY_VERIFY_WITH_TIMEOUT(conversations->numberOfRowsInSection(0) > 0, kReplyMs);
        index->message_view()->didSelectRowAtIndexPath(conversations, {0, 0});
        QTRY_VERIFY(screen.topAs<MessageController>());
        QTRY_VERIFY_WITH_TIMEOUT(ProgressHUD::state() == ProgressHUD::State::Hidden, kReplyMs);
        QVERIFY(named(window, "dialog", QStringLiteral("Button \"刷新\"")));
        screen.nav()->popToViewController(index, false);

        // "发微讯": the group message.
        qobject_cast<BarButton*>(index->rightBarButtonItem())->click();
        QTRY_VERIFY(screen.topAs<WriteController>());
        QVERIFY(named(window, "group message", QStringLiteral("Button \"按住说话\"")));
        screen.nav()->popToViewController(index, false);

        // A schedule entry, and a directory lookup.
        bar->changeState(bar->item("home"));
        QTest::mouseClick(cellOf(index, "calendar"), Qt::LeftButton);
        auto* calendar = screen.topAs<FuncController>();
        QTRY_VERIFY_WITH_TIMEOUT(calendar->tableView()->numberOfRowsInSection(0) > 0, kReplyMs);
        calendar->didSelectRowAtIndexPath(calendar->tableView(), {0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(
            screen.topAs<DetailController>() && screen.topAs<DetailController>()->detailView(),
            kReplyMs);
        QVERIFY(named(window, "schedule entry", QStringLiteral("日程内容")));
        screen.nav()->popToViewController(index, false);
        QTest::mouseClick(cellOf(index, "user"), Qt::LeftButton);
        QTRY_VERIFY(screen.topAs<OtherFuncController>());
        QVERIFY(named(window, "lookup", QStringLiteral("EditableText \"姓名\"")));
    }
};

OA_SHELL_TEST(AccessibleTreeTest)

}  // namespace oa

#include "AccessibleTreeTest.moc"

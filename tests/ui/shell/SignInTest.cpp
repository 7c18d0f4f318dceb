// The sign-in screen against the demo server: success pushes the index and logs in to the push
// channel, failures stay with their texts, automatic sign-in with the stored password once per
// run, the environment chooser, keyboard moves and the push channel's answer.
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "ShellTest.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "support/FakeDatagramSocket.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/main/MyView.h"
#include "ui/kit/LeveyPopListView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TextField.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"

Q_DECLARE_METATYPE(oa::SetDictionary)

namespace oa {

namespace {

constexpr int kReplyMs = 15000;

QString settingsText(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList titlesOf(const HomeView* home) {
    QStringList titles;
    for (const MyView* cell : home->cells()) {
        titles << QString::fromStdString(cell->func_title());
    }
    return titles;
}

}  // namespace

class SignInTest : public QObject {
    Q_OBJECT

private slots:
    void successPushesTheIndexWithTheModulesAndLogsInToThePushChannel() {
        shell::Environment env;
        shell::Environment::storeDemoSettings();
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);

        form->field(LoginView::kNameTag)->setText("wangjianguo");
        form->field(LoginView::kPasswordTag)->setText("123456");
        // An address typed without its scheme gets "http://".
        const std::string address = shell::demoServerAddress();
        form->field(LoginView::kAddressTag)->setText(settingsText(address.substr(7)));
        QSignalSpy finished(screen.login(), &LoginController::loginFinished);
        form->loginEvent();
        QCOMPARE(form->field(LoginView::kAddressTag)->text(), settingsText(address));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Busy);
        QCOMPARE(ProgressHUD::status(), QString("正在登录中..."));

        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), kReplyMs);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toString(), QString());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Success);
        QCOMPARE(ProgressHUD::status(), QString("成功"));

        auto* index = screen.topAs<IndexController>();
        const std::vector<std::string> modules{"email",    "notify", "news",        "workflow",
                                               "calendar", "diary",  "file_folder", "public_folder",
                                               "address",  "tel_no", "user",        "weather"};
        QCOMPARE(index->func_array(), modules);
        QCOMPARE(titlesOf(index->home_view()),
                 QStringList({"电子邮件", "公告通知", "内部新闻", "工作流", "日程安排", "工作日志",
                              "个人文件柜", "公共文件柜", "通讯簿", "区号邮编", "人员查询",
                              "天气预报"}));
        QVERIFY(GlobalVar::getInstance_global().session_id().has_value());

        // The push channel's login, then the index's message-notice request, both to the IM
        // service's fixed port on the server's host.
        test::FakeDatagramSocket* socket = env.socket();
        QVERIFY(socket);
        const auto sent = socket->sent();
        QCOMPARE(sent.size(), std::size_t(2));
        QCOMPARE(sent[0].bytes, "C^m^l^wangjianguo^" + shell::scrambled("123456") + "^");
        QCOMPARE(sent[0].host, std::string("127.0.0.2"));
        QCOMPARE(sent[0].port, std::uint16_t(1188));
        QCOMPARE(sent[1].bytes, std::string("C^n^message^1"));

        // A second attempt that succeeds while the index shows does not stack another one.
        form->loginEvent();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kReplyMs);
        QCOMPARE(screen.nav()->viewControllers().size(), 2);
        QCOMPARE(screen.top(), index);

        // The attempt stored what the form held.
        const LoginVO stored = LoginBO().getPlistInfo();
        QCOMPARE(stored.name, std::optional<std::string>("wangjianguo"));
        QCOMPARE(stored.oa, std::optional<std::string>(address));
    }

    void failureShowsItsTextAndStays_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("address");  // "" for the demo server
        QTest::addColumn<QString>("failure");
        QTest::newRow("wrong password") << "654321"
                                        << ""
                                        << " [用户名]或[密码] 填写错误！";
        // Port 1 on loopback refuses at once.
        QTest::newRow("nobody listens") << "123456"
                                        << "127.0.0.1:1"
                                        << " [OA地址] 填写错误！";
        QTest::newRow("empty address") << "123456"
                                       << "-"
                                       << " [OA地址] 填写错误！";
    }

    void failureShowsItsTextAndStays() {
        QFETCH(QString, password);
        QFETCH(QString, address);
        QFETCH(QString, failure);
        shell::Environment env;
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        form->field(LoginView::kNameTag)->setText("wangjianguo");
        form->field(LoginView::kPasswordTag)->setText(password);
        form->field(LoginView::kAddressTag)
            ->setText(address.isEmpty() ? settingsText(shell::demoServerAddress())
                      : address == "-"  ? QString()
                                        : address);
        QSignalSpy finished(screen.login(), &LoginController::loginFinished);
        form->loginEvent();

        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kReplyMs);
        QCOMPARE(finished.at(0).at(0).toString(), failure);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), failure);
        QCOMPARE(screen.nav()->viewControllers().size(), 1);
        QCOMPARE(screen.top(), screen.login());
        QVERIFY(!GlobalVar::getInstance_global().session_id());
        // Nothing goes to the push channel.
        QCOMPARE(env.sentTexts(), std::vector<std::string>{});
        // The form keeps what was typed, for another try.
        QCOMPARE(form->field(LoginView::kPasswordTag)->text(), password);
    }

    void automaticSignInSendsTheStoredPasswordOncePerRun() {
        shell::Environment env;
        LoginVO record = shell::demoRecord();
        record.isRem = false;
        record.isAuto = true;
        shell::Environment::storeRecord(record);
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        // Not shown, yet used.
        QCOMPARE(form->field(LoginView::kPasswordTag)->text(), QString());
        QCOMPARE(form->field(LoginView::kNameTag)->text(), QString("wangjianguo"));
        QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), QString("演示"));
        QVERIFY(!form->switchWithTag(LoginView::kRememberTag)->isOn());
        QVERIFY(form->switchWithTag(LoginView::kAutoTag)->isOn());
        QCOMPARE(GlobalVar::getInstance_global().choiceKey(), std::optional<std::string>("name1"));

        QSignalSpy finished(screen.login(), &LoginController::loginFinished);
        QTRY_VERIFY_WITH_TIMEOUT(screen.topAs<IndexController>(), kReplyMs);
        QCOMPARE(finished.count(), 1);

        // Back on the sign-in screen (sign-out), nothing starts by itself again.
        screen.topAs<IndexController>()->returnRootController();
        QCOMPARE(screen.top(), screen.login());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Success);  // what the attempt left
        QTest::qWait(0);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(screen.nav()->viewControllers().size(), 1);
    }

    void pushChannelAnswerStartsTheHeartbeatUnlessRefused_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("starts");
        QTest::newRow("accepted") << "v^OK" << true;
        QTest::newRow("accepted without a result") << "v" << true;
        QTest::newRow("refused") << "v^NO" << false;
    }

    void pushChannelAnswerStartsTheHeartbeatUnlessRefused() {
        QFETCH(QString, answer);
        QFETCH(bool, starts);
        shell::Environment env;
        shell::Screen screen;
        screen.login()->view();
        auto& listener = UDPListener::getInstance_udp();
        QCOMPARE(env.socket()->readsStarted(), 1);
        // The listener hears the IM service the login datagram went to.
        GlobalVar::getInstance_global().setOa("http://127.0.0.1");
        GlobalVar::getInstance_global().setOvix_zqim_port("1188");
        listener.announce("C^m^l^u^p^");
        listener.stopAnnouncing();
        env.socket()->inject(answer.toStdString());
        // Handled once the listener has started its next read.
        QTRY_COMPARE(env.socket()->readsStarted(), 2);
        // startHeartbeat refuses while a heartbeat runs.
        const bool alreadyRunning = !listener.startHeartbeat(std::chrono::hours(1), [] {});
        QCOMPARE(alreadyRunning, starts);
    }

    void chooserListsConfiguredEnvironmentsInOrder_data() {
        QTest::addColumn<SetDictionary>("settings");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("all three")
            << SetDictionary{{"name1", "总部"},   {"ip1", "10.0.0.1"}, {"name2", "分部"},
                             {"ip2", "10.0.0.2"}, {"name3", "外网"},   {"ip3", "oa.example"}}
            << "请选择网络环境" << QStringList{"总部", "分部", "外网"}
            << QStringList{"name1", "name2", "name3"};
        QTest::newRow("a name without an address is left out")
            << SetDictionary{{"name1", "总部"},   {"ip1", ""},       {"name2", ""},
                             {"ip2", "10.0.0.2"}, {"name3", "外网"}, {"ip3", "oa.example"}}
            << "请选择网络环境" << QStringList{"", "外网"} << QStringList{"name2", "name3"};
        QTest::newRow("nothing configured")
            << SetDictionary{{"name1", "总部"}, {"ip1", ""}, {"im_port", "1188"}}
            << "请先去设置网络环境" << QStringList{} << QStringList{};
    }

    void chooserListsConfiguredEnvironmentsInOrder() {
        QFETCH(SetDictionary, settings);
        QFETCH(QString, title);
        QFETCH(QStringList, names);
        QFETCH(QStringList, keys);
        shell::Environment env;
        shell::Environment::storeSettings(settings);
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();

        form->openChoiceView();
        LeveyPopListView* list = form->choiceView();
        QVERIFY(list);
        QCOMPARE(list->parentWidget(), screen.window());
        QCOMPARE(list->title(), title);
        QStringList shown;
        for (const auto& option : list->options()) {
            shown << option.text;
            QVERIFY(!option.icon.isNull());  // "11.png"
        }
        QCOMPARE(shown, names);

        if (keys.isEmpty()) {
            list->cancel();
            QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), QString());
            QVERIFY(!GlobalVar::getInstance_global().choiceKey());
            return;
        }
        const int last = static_cast<int>(keys.size()) - 1;
        list->select(last);
        const std::string key = keys[last].toStdString();
        QCOMPARE(GlobalVar::getInstance_global().choiceKey(), std::optional<std::string>(key));
        QCOMPARE(form->field(LoginView::kAddressTag)->text(),
                 settingsText(settings.at("ip" + key.substr(4))));
        QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), names[last]);
        QTRY_VERIFY(!form->choiceView());

        // Cancelling a second chooser changes nothing.
        form->openChoiceView();
        form->choiceView()->cancel();
        QCOMPARE(GlobalVar::getInstance_global().choiceKey(), std::optional<std::string>(key));
        QCOMPARE(form->field(LoginView::kEnvironmentNameTag)->text(), names[last]);
    }

    void fieldsMoveTheFormUpWhileEdited() {
        shell::Environment env;
        shell::Screen screen;
        LoginView* form = screen.login()->loginView();
        // A tap on the background before any field was edited does nothing.
        form->backgroundTapped();
        QCOMPARE(form->contentOffset(), 0);

        TextField* name = form->field(LoginView::kNameTag);
        form->textFieldDidBeginEditing(name);
        QCOMPARE(form->contentOffset(), -LoginView::kKeyboardShift);
        form->textFieldShouldReturn(name);
        QCOMPARE(form->contentOffset(), 0);

        form->textFieldDidBeginEditing(form->field(LoginView::kPasswordTag));
        QCOMPARE(form->contentOffset(), -45);
        form->backgroundTapped();
        QCOMPARE(form->contentOffset(), 0);
        // The move itself ends where it should.
        QTRY_COMPARE(form->findChild<QWidget*>()->y(), 0);
    }

    void confirmButtonSitsLowerOnTheTallScreen() {
        shell::Environment env;
        auto confirmY = [](QSize size) {
            shell::Screen screen(size);
            return screen.login()->loginView()->confirmButton()->y();
        };
        const int shortY = confirmY(QSize(320, 480));
        const int tallY = confirmY(QSize(320, 568));
        QVERIFY(tallY > shortY);
        QVERIFY(tallY + 42 < 568 && shortY + 42 < 480);
    }
};

}  // namespace oa

OA_SHELL_TEST(SignInTest)
#include "SignInTest.moc"

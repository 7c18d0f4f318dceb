// IndexController: building the index, switching its pages, opening screens, the counters and
// sign-out.
#include "ui/controller/main/IndexController.h"

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QLineEdit>
#include <algorithm>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/PlistManager.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/DesktopTray.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/HomeTips.h"
#include "ui/controller/main/HomeView.h"
#include "ui/controller/main/NewestItem.h"
#include "ui/controller/main/NewsNotifier.h"
#include "ui/controller/main/OtherView.h"
#include "ui/controller/main/WorkflowController.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/reminder/SmsView.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/platform/DesktopNotifications.h"
#include "ui/session/CheckOnline.h"
#include "ui/session/MainScreen.h"
#include "ui/session/SetController.h"
#include "ui/session/TrustListController.h"

namespace oa {

namespace {

// The "发微讯" button: 55 points wide, as high as its picture divided by 1.85.
constexpr int kSendAllWidth = 55;
constexpr double kSendAllHeightDivisor = 1.85;

QString appTitle() {
    return QString::fromStdString(GlobalVar::getInstance_global().app_title().value_or(""));
}

std::string describe(const IndexController::CounterDic& counters) {
    std::string text = "{";
    for (const auto& [key, value] : counters) {
        text += (text.size() > 1 ? ", " : " ") + key + " = " + value;
    }
    return text + (counters.empty() ? "}" : " }");
}

// The request of a counter refresh, on its background thread.
IndexController::CounterDic fetchCounters(const std::string& module) {
    IndexController::CounterDic counters = homeTipInfo(module);
    log("dic::" + describe(counters));
    return counters;
}

}  // namespace

IndexController::IndexController(QObject* parent) : ViewController(parent) {
    // No way back to the sign-in screen but signing out.
    setHidesBackButton(true);
    const QPointer<IndexController> guard(this);
    counters_ =
        std::make_unique<CounterRefresh>(&fetchCounters, [guard](const CounterDic& counters) {
            if (guard) {
                guard->pushReturnMain(counters);
            }
        });
}

IndexController::~IndexController() {
    counters_.reset();
    messagePushes_.reset();
}

void IndexController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("indexView"));
    const QSize screen = mainScreenSize();
    view->resize(screen.width(), screen.height() - NavigationBar::kHeight);
    const QRect page(0, 0, view->width(), view->height() - BottomView::kHeight);

    message_view_ = new MessageView(view);
    message_view_->setMessage_delegate(this);
    message_view_->setGeometry(page);
    message_view_->createTableView();
    message_view_->hide();
    connect(message_view_, &MessageView::loadFinished, this, &IndexController::messagesLoaded);

    sms_view_ = new SmsView(view);
    sms_view_->setGeometry(page);
    sms_view_->hide();
    sms_view_->setSms_delegate(this);
    sms_view_->createTableView();

    other_view_ = new OtherView(view);
    other_view_->setOther_delegate(this);
    other_view_->setGeometry(page);
    other_view_->hide();
    other_view_->createView();

    home_view_ = new HomeView(view);
    home_view_->setHome_service(this);
    home_view_->setGeometry(page);
    home_view_->createView(func_array_);

    bottom_view_ = new BottomView(view);
    bottom_view_->setBottom_delegate(this);
    bottom_view_->setGeometry(0, page.height(), view->width(), BottomView::kHeight);
    bottom_view_->createView();

    setBackButtonTitle(QStringLiteral("首页"));
    setTitle(appTitle());

    UDPListener::getInstance_udp().sendMessageNotice();

    CheckOnline::shar();

    view->setFocusPolicy(Qt::ClickFocus);
    view->installEventFilter(this);
    setView(view);
}

void IndexController::viewWillAppear(bool animated) {
    setHidesBackButton(true);
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

void IndexController::viewDidAppear(bool) {
    // Keyboard focus starts on the index itself, not on whatever cell the focus chain reached
    // while the screen before went away; a field being edited keeps it.
    QWidget* focused = QApplication::focusWidget();
    if (!qobject_cast<QLineEdit*>(focused) || !view()->isAncestorOf(focused)) {
        view()->setFocus(Qt::OtherFocusReason);
    }
    startDesktop();
    modulesChange();
}

void IndexController::startDesktop() {
    if (news_) {
        return;
    }
    const QPointer<IndexController> guard(this);
    news_ = new NewsNotifier(
        view()->window(),
        [guard](const NewsItem& item) {
            if (guard) {
                guard->openNews(item);
            }
        },
        this);
    // Posted on the main thread, before the conversation list reloads for the same push.
    messagePushes_ = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kMessageUdpResult, [guard](const Notification&) {
            if (guard) {
                ++guard->pushedMessages_;
            }
        });
    if (DesktopTray::isAvailable()) {
        tray_ = new DesktopTray(
            view()->window(), news_, [] { QCoreApplication::quit(); }, this);
        news_->notifications().setTray(tray_->icon());
        showUnread();
    }
}

void IndexController::messagesLoaded() {
    if (pushedMessages_ == 0 || !news_) {
        showUnread();
        return;
    }
    news_->add(messageNews(message_view_->list(), std::exchange(pushedMessages_, 0)));
    showUnread();
}

NewsItem IndexController::messageNews(const std::vector<std::shared_ptr<MessageListVO>>& rows,
                                      int count) {
    // The server lists the conversation with the newest message first.
    auto newest = std::find_if(rows.begin(), rows.end(), [](const auto& row) {
        return row && row->read_flag.value_or("") == "0";
    });
    if (newest == rows.end()) {
        newest = rows.begin();
    }
    NewsItem item;
    item.module = "message";
    item.count = count;
    item.title = QStringLiteral("微讯");
    if (newest != rows.end() && *newest) {
        const MessageListVO& row = **newest;
        item.personId = row.q_id.value_or("");
        item.personName = row.q_name.value_or("");
        item.title += QStringLiteral(" · ") + QString::fromStdString(item.personName);
        item.body = NewsNotifier::firstLine(QString::fromStdString(row.content.value_or("")));
    }
    if (item.count > 1 || item.body.isEmpty()) {
        item.body = QStringLiteral("%1 条新消息").arg(item.count);
    }
    return item;
}

void IndexController::countersRose(const CounterDic& counters) {
    for (const auto& [key, value] : counters) {
        const auto before = lastCounters_.find(key);
        // A module seen for the first time has nothing to rise from.
        const int rise = before == lastCounters_.end()
                             ? 0
                             : QString::fromStdString(value).toInt() -
                                   QString::fromStdString(before->second).toInt();
        if (rise <= 0 || key == "message" || !news_ || !news_->wantsNews()) {
            continue;
        }
        NewsItem item;
        item.module = key;
        item.count = rise;
        item.title = QString::fromStdString(ModuleCatalogue::homeTitle(key).value_or(key));
        const QPointer<NewsNotifier> news(news_);
        runInBackground([news, item]() mutable {
            const std::string line = newestItemLine(item.module);
            MainLoop::main().post([news, item, line]() mutable {
                item.body = item.count == 1 && !line.empty()
                                ? NewsNotifier::firstLine(QString::fromStdString(line))
                                : QStringLiteral("%1 条新消息").arg(item.count);
                if (news) {
                    news->add(item);
                }
            });
        });
    }
    for (const auto& [key, value] : counters) {
        lastCounters_[key] = value;
    }
}

int IndexController::unreadTotal() const {
    int total = 0;
    for (const auto& [key, value] : lastCounters_) {
        total += std::max(0, QString::fromStdString(value).toInt());
    }
    if (message_view_) {
        for (const auto& row : message_view_->list()) {
            if (row && row->read_flag.value_or("") == "0") {
                total += std::max(1, QString::fromStdString(row->unread_num.value_or("")).toInt());
            }
        }
    }
    return total;
}

void IndexController::showUnread() {
    if (tray_) {
        tray_->setUnread(unreadTotal());
    }
}

void IndexController::openNews(const NewsItem& item) {
    if (item.module == "message" && !item.personId.empty()) {
        enterMessage(item.personId, item.personName);
    } else if (!item.module.empty()) {
        ChoiceFunc(item.module, item.title.toStdString());
    }
}

bool IndexController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && isViewLoaded() && watched == view()) {
        layoutPages();
    }
    return ViewController::eventFilter(watched, event);
}

void IndexController::layoutPages() {
    // The pages fill the view above the tab bar; the bar sits at the bottom.
    const QSize size = view()->size();
    const QRect page(0, 0, size.width(), std::max(0, size.height() - BottomView::kHeight));
    for (QWidget* widget :
         {static_cast<QWidget*>(message_view_), static_cast<QWidget*>(sms_view_),
          static_cast<QWidget*>(other_view_), static_cast<QWidget*>(home_view_)}) {
        widget->setGeometry(page);
    }
    bottom_view_->setGeometry(0, page.height(), size.width(), BottomView::kHeight);
}

void IndexController::changeView(const std::string& key) {
    if (!isViewLoaded()) {
        return;
    }
    QWidget* shown = sms_view_;
    QString title = QStringLiteral("事务提醒");
    if (key == "home") {
        shown = home_view_;
        title = appTitle();
    } else if (key == "message") {
        shown = message_view_;
        title = QStringLiteral("微讯");
    } else if (key == "affairs") {
        shown = other_view_;
        title = QStringLiteral("更多");
    }
    for (QWidget* page : {static_cast<QWidget*>(home_view_), static_cast<QWidget*>(message_view_),
                          static_cast<QWidget*>(sms_view_), static_cast<QWidget*>(other_view_)}) {
        page->setVisible(page == shown);
    }
    currentTab_ = shown == sms_view_ ? std::string("remind") : key;
    setTitle(title);
    if (shown == message_view_) {
        const QPixmap background = image(QStringLiteral("btn_background1"));
        const int height =
            qRound((background.isNull() ? 46.0 : background.deviceIndependentSize().height()) /
                   kSendAllHeightDivisor);
        auto* button = new BarButton(QStringLiteral("发微讯"), QStringLiteral("btn_background1"),
                                     QSize(kSendAllWidth, height));
        connect(button, &QPushButton::clicked, this, &IndexController::allSendView);
        setRightBarButtonItem(button);
        setComposeButton(button);
    } else {
        setRightBarButtonItem(nullptr);
    }
}

void IndexController::ChoiceFunc(const std::string& key, const std::string& title) {
    const auto kind = ModuleCatalogue::screenKind(key);
    if (kind == ScreenKind::workflowPage) {
        presentViewController(new WorkflowController, false);
        return;
    }
    NavigationController* nav = navigationController();
    if (!nav) {
        return;
    }
    if (kind == ScreenKind::lookupScreen) {
        auto* lookup = new OtherFuncController;
        lookup->setFunc_title(title);
        lookup->setFunc_type(key);
        nav->pushViewController(lookup, true);
        return;
    }
    auto* list = new FuncController;
    list->setFunc_type(key);
    list->setFunc_title(title);
    nav->pushViewController(list, true);
}

void IndexController::enterMessage(const std::string& personId, const std::string& personName) {
    if (NavigationController* nav = navigationController()) {
        auto* dialog = new MessageController;
        dialog->setQ_id(personId);
        dialog->setQ_name(personName);
        nav->pushViewController(dialog, true);
    }
}

void IndexController::enterSetController() {
    if (NavigationController* nav = navigationController()) {
        nav->pushViewController(new SetController(TableView::Style::Grouped), true);
    }
}

void IndexController::enterTrustController() {
    if (NavigationController* nav = navigationController()) {
        nav->pushViewController(new TrustListController, true);
    }
}

void IndexController::returnRootController() {
    PlistManager().relogin();
    LoginBO().logoutUdp();
    if (NavigationController* nav = navigationController()) {
        nav->popToRootViewController(true);
    }
}

void IndexController::allSendView() {
    if (NavigationController* nav = navigationController()) {
        auto* write = new WriteController;
        write->setFunc_type("message");
        write->setHidesBackButton(true);
        // The conversations list what was sent.
        connect(write, &WriteController::submitFinished, this, [this](bool succeeded) {
            if (succeeded && message_view_) {
                message_view_->messageChange();
            }
        });
        nav->pushViewController(write, true);
    }
}

std::string IndexController::reminderAddress(const std::string& address) {
    const auto& session = GlobalVar::getInstance_global();
    return oa::reminderAddress(session.oa().value_or(""), session.session_id().value_or(""),
                               address);
}

void IndexController::showSmsViewWith(const std::string& address) {
    if (NavigationController* nav = navigationController()) {
        auto* page = new AttachmentViewController;
        page->setAttachmentCategory(0);
        page->setAttachmentURL(reminderAddress(address));
        nav->pushViewController(page, true);
    }
}

void IndexController::modulesChange(const std::optional<std::string>& module) {
    counters_->request(module.value_or(kAllModules));
}

void IndexController::pushReturnMain(const CounterDic& counters) {
    if (home_view_) {
        home_view_->addPushFlag(counters);
    }
    countersRose(counters);
    showUnread();
    emit countersApplied();
}

}  // namespace oa

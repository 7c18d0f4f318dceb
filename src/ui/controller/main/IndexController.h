// IndexController: the main index that a successful sign-in pushes: four pages (home grid,
// conversations, reminders, "more") under a tab bar. It opens every module screen, fetches the
// module counters for the grid's badges, tells the desktop of what pushes bring (notices, the
// tray icon), and signs out.
#pragma once

#include <QPointer>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <memory>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/WebLinks.h"
#include "core/push/CounterRefresh.h"
#include "ui/controller/main/BottomDelegate.h"
#include "ui/controller/main/HomeService.h"
#include "ui/controller/main/OtherService.h"
#include "ui/controller/message/MessageService.h"
#include "ui/controller/reminder/SmsViewdelegate.h"
#include "ui/kit/ViewController.h"

namespace oa {

class BottomView;
class DesktopTray;
class HomeView;
class NewsNotifier;
struct MessageListVO;
struct NewsItem;
class MessageView;
class OtherView;
class SmsView;

class IndexController : public ViewController,
                        public HomeService,
                        public BottomDelegate,
                        public MessageService,
                        public OtherService,
                        public SmsViewdelegate {
    Q_OBJECT
public:
    using CounterDic = std::map<std::string, std::string>;

    // The counter request for every module, sent whenever the index comes into view.
    static constexpr const char* kAllModules = CounterRefresh::kAllModules;

    explicit IndexController(QObject* parent = nullptr);
    ~IndexController() override;

    // The modules of the signed-in user, in the server's order; set before the index is shown.
    const std::vector<std::string>& func_array() const { return func_array_; }
    void setFunc_array(const std::vector<std::string>& modules) { func_array_ = modules; }

    HomeView* home_view() const { return home_view_; }
    MessageView* message_view() const { return message_view_; }
    SmsView* sms_view() const { return sms_view_; }
    OtherView* other_view() const { return other_view_; }
    BottomView* bottom_view() const { return bottom_view_; }
    // The tab shown: "home", "message", "remind" or "affairs".
    const std::string& currentTab() const { return currentTab_; }

    // BottomDelegate: shows the page of the tab, with its title and right button.
    void changeView(const std::string& key) override;
    // HomeService and SmsViewdelegate: the lookups are pushed, the workflow page presented,
    // every other key opens the module list.
    void ChoiceFunc(const std::string& key, const std::string& title) override;
    // MessageService: the dialog with one person.
    void enterMessage(const std::string& personId, const std::string& personName) override;
    // OtherService.
    void enterSetController() override;
    void enterTrustController() override;
    void returnRootController() override;
    // SmsViewdelegate: a reminder's own page through the server's redirect page.
    void showSmsViewWith(const std::string& address) override;
    // The "发微讯" button: the group message editor.
    void allSendView();

    // The redirect address of a reminder page: "<oa>/mobile/go.php?P=<session>&MobileWebViewURL="
    // and the Base64 text of the address, inserted as it is.
    static std::string reminderAddress(const std::string& address);
    static std::string base64Encode(const std::string& bytes) { return oa::base64Encode(bytes); }

    // Counters: fetched on a background thread for `module` (the key a push notice named), or
    // for every module ("INIT") when there is none; one request at a time (CounterRefresh).
    void modulesChange(const std::optional<std::string>& module = std::nullopt);
    // Applies a fetched dictionary, on the main thread.
    void pushReturnMain(const CounterDic& counters);

    // The desktop's notices of what pushes bring, and the tray icon where the desktop has a
    // tray; both made the first time the index appears.
    NewsNotifier* news() const { return news_; }
    DesktopTray* tray() const { return tray_; }
    // What an activated notice was about: the conversation, the module, else the index.
    void openNews(const NewsItem& item);
    // Counters and unread conversations together, as the tray shows them.
    int unreadTotal() const;
    // The news of `count` message pushes, told by the conversation list `rows` as loaded after
    // them: the newest unread conversation's partner and first line.
    static NewsItem messageNews(const std::vector<std::shared_ptr<MessageListVO>>& rows, int count);

signals:
    // A counter dictionary has been applied to the grid.
    void countersApplied();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutPages();
    void startDesktop();
    // A conversation list loaded after message pushes: the news of its newest unread row.
    void messagesLoaded();
    // Counters that rose since the last dictionary: news of each module's newest item.
    void countersRose(const CounterDic& counters);
    void showUnread();

    std::vector<std::string> func_array_;
    HomeView* home_view_ = nullptr;
    MessageView* message_view_ = nullptr;
    SmsView* sms_view_ = nullptr;
    OtherView* other_view_ = nullptr;
    BottomView* bottom_view_ = nullptr;
    std::string currentTab_ = "home";
    // Fetches again on each module push.
    std::unique_ptr<CounterRefresh> counters_;
    CounterDic lastCounters_;  // every counter applied so far, the newest of each key
    int pushedMessages_ = 0;   // message pushes not yet told about
    ObserverToken messagePushes_;
    NewsNotifier* news_ = nullptr;
    DesktopTray* tray_ = nullptr;
};

}  // namespace oa

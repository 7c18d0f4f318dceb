// Tour: the conversation list and the reminder list, each reloaded and at rest.
#include <QPointer>
#include <memory>

#include "app/Tour.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/reminder/SmsView.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

IndexController* indexOf(Window* window) {
    auto* nav =
        window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
    if (!nav || nav->isTransitioning() || nav->presentedViewController()) {
        return nullptr;
    }
    return qobject_cast<IndexController*>(nav->topViewController());
}

// The page shown, its rows loaded since `loads` was reset, its header closed and still.
template <class Page>
bool pageAtRest(Page* page, const std::shared_ptr<int>& loads) {
    if (!page || !page->isVisible() || *loads == 0 || page->list().empty()) {
        return false;
    }
    PullingRefreshTableView* table = page->tableView();
    return table && !table->isLoading() && table->contentInset() == EdgeInsets{} &&
           table->contentOffset() == 0 && !table->msgLabel();
}

// Shows the tab `key` and reloads its page, counting the loads that reach it.
template <class Page>
void showTab(IndexController* index, const char* key, Page* page, const std::shared_ptr<int>& loads,
             QObject* context) {
    *loads = 0;
    QObject::connect(page, &Page::loadFinished, context, [loads] { ++*loads; });
    BottomView* bar = index->bottom_view();
    bar->changeState(bar->item(key));
    page->tableView()->launchRefreshing();
}

}  // namespace

void Tour::addMessageListStops() {
    Window* window = window_;
    auto messageLoads = std::make_shared<int>(0);
    auto smsLoads = std::make_shared<int>(0);
    stops_.push_back({"back at the index", [window] { return indexOf(window) != nullptr; }, false,
                      [this, window, messageLoads] {
                          IndexController* index = indexOf(window);
                          showTab(index, "message", index->message_view(), messageLoads, this);
                      }});
    stops_.push_back({"20-conversations",
                      [window, messageLoads] {
                          IndexController* index = indexOf(window);
                          return index && pageAtRest(index->message_view(), messageLoads);
                      },
                      true,
                      [this, window, smsLoads] {
                          IndexController* index = indexOf(window);
                          showTab(index, "remind", index->sms_view(), smsLoads, this);
                      }});
    stops_.push_back({"21-reminders",
                      [window, smsLoads] {
                          IndexController* index = indexOf(window);
                          return index && pageAtRest(index->sms_view(), smsLoads);
                      },
                      true, [] {}});
}

}  // namespace oa

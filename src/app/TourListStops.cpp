// Tour: the module list stops: the e-mail list, its header pulled to "释放刷新", the notices,
// the diary with its kind control and a folder of the personal file cabinet.
#include <QElapsedTimer>
#include <memory>

#include "app/Tour.h"
#include "ui/controller/main/FuncController.h"
#include "ui/controller/main/IndexController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

NavigationController* navOf(Window* window) {
    return window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
}

FuncController* listOf(Window* window) {
    NavigationController* nav = navOf(window);
    return nav ? qobject_cast<FuncController*>(nav->topViewController()) : nullptr;
}

// The list on top, its loads merged, the header closed, no slide and no indicator under way.
bool listAtRest(Window* window) {
    NavigationController* nav = navOf(window);
    FuncController* list = listOf(window);
    if (!nav || !list || nav->isTransitioning() || nav->isRevealing() || !list->tableView()) {
        return false;
    }
    PullingRefreshTableView* table = list->tableView();
    return list->loadsRunning() == 0 && !list->logic().list().empty() && !table->isLoading() &&
           table->contentInset() == EdgeInsets{} && table->contentOffset() == 0 &&
           !table->msgLabel() && ProgressHUD::state() == ProgressHUD::State::Hidden &&
           !(ProgressHUD::instance() && ProgressHUD::instance()->isVisible());
}

// Leaves the list on top for the index and opens the module `key` from there.
void openModule(Window* window, const std::string& key, const std::string& title) {
    NavigationController* nav = navOf(window);
    if (!nav) {
        return;
    }
    if (qobject_cast<FuncController*>(nav->topViewController())) {
        nav->popViewController(false);
    }
    if (auto* index = qobject_cast<IndexController*>(nav->topViewController())) {
        index->ChoiceFunc(key, title);
    }
}

}  // namespace

void Tour::buildListStops() {
    Window* window = window_;
    stops_.push_back({"list: e-mail opened", [] { return true; }, false,
                      [window] { openModule(window, "email", "电子邮件"); }});
    // Since the header was pulled: its arrow takes a moment to turn.
    auto pulled = std::make_shared<QElapsedTimer>();
    stops_.push_back({"07-email-list", [window] { return listAtRest(window); }, true,
                      [window, pulled] {
                          // Held where a finger would hold it, 70 points down.
                          PullingRefreshTableView* table = listOf(window)->tableView();
                          table->setContentOffset(-70);
                          table->tableViewDidScroll();
                          pulled->start();
                      }});
    stops_.push_back({"08-email-pulled",
                      [window, pulled] {
                          FuncController* list = listOf(window);
                          return list &&
                                 list->tableView()->headerView()->state() ==
                                     LoadingView::kPulling &&
                                 pulled->elapsed() > 500;
                      },
                      true,
                      [window] {
                          PullingRefreshTableView* table = listOf(window)->tableView();
                          table->setContentOffset(0);
                          table->tableViewDidScroll();
                          openModule(window, "notify", "通知公告");
                      }});
    stops_.push_back({"09-notices", [window] { return listAtRest(window); }, true,
                      [window] { openModule(window, "diary", "工作日志"); }});
    stops_.push_back({"10-diary", [window] { return listAtRest(window); }, true,
                      [window] { openModule(window, "file_folder", "个人文件柜"); }});
    stops_.push_back(
        {"cabinet listed", [window] { return listAtRest(window); }, false,
         [window] {
             FuncController* list = listOf(window);
             const RecordList& rows = list->logic().list();
             for (std::size_t i = 0; i < rows.size(); ++i) {
                 auto file = std::dynamic_pointer_cast<FileVO>(rows[i]);
                 if (file && file->file_type == "folder") {
                     list->didSelectRowAtIndexPath(list->tableView(), {0, static_cast<int>(i)});
                     return;
                 }
             }
         }});
    stops_.push_back({"11-cabinet-folder",
                      [window] {
                          FuncController* list = listOf(window);
                          return list && list->logic().folderDepth() == 1 && listAtRest(window);
                      },
                      true,
                      [window] {
                          if (NavigationController* nav = navOf(window)) {
                              nav->popViewController(false);
                          }
                      }});
}

}  // namespace oa

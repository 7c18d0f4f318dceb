// Tour: the recipient picker with a search and ticked people, the department screen with ticked
// departments, and the picker again with their members added.
#include <QPointer>

#include "app/Tour.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/write/AddReciverViewController.h"
#include "ui/controller/write/BranchViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

NavigationController* navOf(Window* window) {
    return window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
}

// The screen of class T on top of the stack, with no transition running.
template <class T>
T* topAtRest(Window* window) {
    NavigationController* nav = navOf(window);
    if (!nav || nav->isTransitioning() || nav->presentedViewController()) {
        return nullptr;
    }
    return qobject_cast<T*>(nav->topViewController());
}

IndexController* indexBelow(NavigationController* nav) {
    for (ViewController* controller : nav->viewControllers()) {
        if (auto* index = qobject_cast<IndexController*>(controller)) {
            return index;
        }
    }
    return nullptr;
}

}  // namespace

void Tour::addPickerStops() {
    Window* window = window_;
    stops_.push_back({"picker opened",
                      [window] {
                          NavigationController* nav = navOf(window);
                          return nav && !nav->isTransitioning() && indexBelow(nav);
                      },
                      false,
                      [window] {
                          NavigationController* nav = navOf(window);
                          nav->popToViewController(indexBelow(nav), false);
                          auto* picker = new AddReciverViewController();
                          nav->pushViewController(picker, true);
                          picker->nameField()->setText(QStringLiteral("王"));
                          picker->textFieldDidChange(QStringLiteral("王"));
                      }});
    stops_.push_back({"picker searched",
                      [window] {
                          auto* picker = topAtRest<AddReciverViewController>(window);
                          return picker && !picker->isSearching() && picker->list().size() >= 2;
                      },
                      false,
                      [window] {
                          auto* picker = topAtRest<AddReciverViewController>(window);
                          picker->clickToCheckIt(0, true);
                          picker->clickToCheckIt(1, true);
                      }});
    stops_.push_back({"32-picker", [] { return true; }, true,
                      [window] { topAtRest<AddReciverViewController>(window)->clickToChoose(); }});
    stops_.push_back({"departments loaded",
                      [window] {
                          auto* branch = topAtRest<BranchViewController>(window);
                          return branch && !branch->isLoading() && branch->dataAry().size() >= 2;
                      },
                      false,
                      [window] {
                          auto* branch = topAtRest<BranchViewController>(window);
                          branch->clickToCheck(1, true);
                          branch->clickToCheck(2, true);
                      }});
    stops_.push_back({"33-departments", [] { return true; }, true,
                      [window] {
                          topAtRest<BranchViewController>(window)->clickToChoose(
                              QStringLiteral("确定"));
                      }});
    stops_.push_back({"34-picker-with-departments",
                      [window] {
                          auto* picker = topAtRest<AddReciverViewController>(window);
                          return picker && !picker->isAddingMembers() &&
                                 picker->user_arr().size() > 2;
                      },
                      true,
                      [window] {
                          NavigationController* nav = navOf(window);
                          nav->popToViewController(indexBelow(nav), true);
                      }});
}

}  // namespace oa

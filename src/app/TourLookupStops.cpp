// Tour: the directory lookups: the person search after "王", 王建国's card and his mobile's
// sheet, the address book after an empty search and a contact's card, the places of "杭州", the
// weather presets and the forecast of "北京". Phone addresses go to a fake opener: the tour never
// opens a real handler.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <memory>

#include "app/Tour.h"
#include "core/platform/Log.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/lookup/AddressView.h"
#include "ui/controller/lookup/AvatarPictures.h"
#include "ui/controller/lookup/CallOrText.h"
#include "ui/controller/lookup/OtherFuncController.h"
#include "ui/controller/lookup/TelNoView.h"
#include "ui/controller/lookup/UserDetailView.h"
#include "ui/controller/lookup/UserView.h"
#include "ui/controller/lookup/WeatherView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Window.h"
#include "ui/platform/FakeUrlOpener.h"

namespace oa {

namespace {

NavigationController* navOf(Window* window) {
    return window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
}

bool still(NavigationController* nav) {
    return nav && !nav->isTransitioning() && !nav->isRevealing() &&
           ProgressHUD::state() == ProgressHUD::State::Hidden;
}

OtherFuncController* lookupOf(Window* window) {
    NavigationController* nav = navOf(window);
    return nav ? qobject_cast<OtherFuncController*>(nav->topViewController()) : nullptr;
}

template <class View>
View* searchOf(Window* window) {
    OtherFuncController* lookup = lookupOf(window);
    return lookup && still(navOf(window)) ? qobject_cast<View*>(lookup->searchView()) : nullptr;
}

// The detail screen of `key` on top with its view built.
DetailController* detailOf(Window* window, const char* key) {
    NavigationController* nav = navOf(window);
    auto* detail = nav ? qobject_cast<DetailController*>(nav->topViewController()) : nullptr;
    return detail && detail->func_type() == key && detail->detailView() && still(nav) ? detail
                                                                                      : nullptr;
}

// Back to the index, then the lookup `key`.
void openLookup(Window* window, const std::string& key, const std::string& title) {
    NavigationController* nav = navOf(window);
    if (!nav) {
        return;
    }
    for (ViewController* screen : nav->viewControllers()) {
        if (auto* index = qobject_cast<IndexController*>(screen)) {
            nav->popToViewController(index, false);
            index->ChoiceFunc(key, title);
            return;
        }
    }
    log("tour: no index to open " + key + " from");
}

ActionSheet* sheetIn(Window* window) {
    return window ? window->findChild<ActionSheet*>(QStringLiteral("phoneSheet")) : nullptr;
}

}  // namespace

void Tour::addLookupStops() {
    Window* window = window_;
    stops_.push_back({"lookup: person search", [] { return true; }, false,
                      [window] {
                          UrlOpener::setCurrent(std::make_shared<FakeUrlOpener>(true));
                          openLookup(window, "user", "人员查询");
                      }});
    stops_.push_back({"lookup: typed", [window] { return searchOf<UserView>(window) != nullptr; },
                      false,
                      [window] {
                          UserView* view = searchOf<UserView>(window);
                          view->name_txt()->setText(QStringLiteral("王"));
                          view->searchName();
                      }});
    stops_.push_back(
        {"24-person-search",
         [window] {
             UserView* view = searchOf<UserView>(window);
             return view && view->list().size() > 1 && !lookupOf(window)->isSearching();
         },
         true,
         [window] {
             UserView* view = searchOf<UserView>(window);
             for (const auto& person : view->list()) {
                 if (person && person->user_name == "王建国") {
                     lookupOf(window)->lookDetail(std::shared_ptr<BaseVO>(person), "user");
                     return;
                 }
             }
             lookupOf(window)->lookDetail(std::shared_ptr<BaseVO>(view->list().front()), "user");
         }});
    auto opened = std::make_shared<QElapsedTimer>();
    stops_.push_back(
        {"25-person-card",
         [window] {
             DetailController* detail = detailOf(window, "user");
             auto* card = detail ? qobject_cast<UserDetailView*>(detail->detailView()) : nullptr;
             return card && AvatarPictures::shared().isKnown(
                                QStringLiteral("avatar") + card->dataAry().value(0),
                                qGuiApp->devicePixelRatio());
         },
         true,
         [window, opened] {
             auto* card = qobject_cast<UserDetailView*>(detailOf(window, "user")->detailView());
             card->tapRow(UserDetailView::kMobileRow);
             opened->start();
         }});
    stops_.push_back({"26-person-mobile-sheet",
                      [window, opened] { return sheetIn(window) && opened->elapsed() > 600; }, true,
                      [window] {
                          ActionSheet* sheet = sheetIn(window);
                          sheet->clickButtonAtIndex(sheet->cancelButtonIndex());
                          openLookup(window, "address", "通讯簿");
                      }});
    stops_.push_back(
        {"lookup: address book",
         [window] { return searchOf<AddressView>(window) != nullptr && !sheetIn(window); }, false,
         [window] { searchOf<AddressView>(window)->textFieldShouldReturn(); }});
    stops_.push_back({"27-address-book",
                      [window] {
                          AddressView* view = searchOf<AddressView>(window);
                          return view && !view->list().empty() && !lookupOf(window)->isSearching();
                      },
                      true,
                      [window] {
                          AddressView* view = searchOf<AddressView>(window);
                          lookupOf(window)->lookDetail(
                              std::shared_ptr<BaseVO>(view->list().front()), "address");
                      }});
    stops_.push_back({"28-contact-card",
                      [window] { return detailOf(window, "address") != nullptr; }, true,
                      [window] { openLookup(window, "tel_no", "区号邮编"); }});
    stops_.push_back({"lookup: area codes",
                      [window] { return searchOf<TelNoView>(window) != nullptr; }, false,
                      [window] {
                          TelNoView* view = searchOf<TelNoView>(window);
                          view->city_txt()->setText(QStringLiteral("杭州"));
                          view->search();
                      }});
    stops_.push_back({"29-area-codes-hangzhou",
                      [window] { return detailOf(window, "tel_no") != nullptr; }, true,
                      [window] { openLookup(window, "weather", "天气预报"); }});
    stops_.push_back({"30-weather-presets",
                      [window] { return searchOf<WeatherView>(window) != nullptr; }, true,
                      [window] {
                          WeatherView* view = searchOf<WeatherView>(window);
                          view->didSelectRowAtIndexPath(view->table_view(), {0, 0});
                      }});
    stops_.push_back({"31-weather-beijing",
                      [window] { return detailOf(window, "weather") != nullptr; }, true, [] {}});
}

}  // namespace oa

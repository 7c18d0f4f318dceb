// Tour: the home grid at zoom 2×, as Ctrl+"=" makes it, every picture drawn for that density;
// then back to the tour's own scale. The choice is not stored: the tour's home is left as it was.
#include <QWindow>

#include "app/Tour.h"
#include "ui/controller/main/BottomView.h"
#include "ui/controller/main/IndexController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/kit/Zoom.h"

namespace oa {

namespace {

IndexController* indexAtRest(Window* window) {
    auto* nav = qobject_cast<NavigationController*>(window->rootViewController());
    // The last stop's "成功" fades out first.
    const ProgressHUD* hud = ProgressHUD::instance();
    if (!nav || nav->isTransitioning() || nav->presentedViewController() ||
        ProgressHUD::state() != ProgressHUD::State::Hidden || (hud && hud->isVisible())) {
        return nullptr;
    }
    return qobject_cast<IndexController*>(nav->topViewController());
}

}  // namespace

void Tour::addZoomStops() {
    Window* window = window_;
    auto before = std::make_shared<double>(1);
    stops_.push_back({"index for the zoom", [window] { return indexAtRest(window) != nullptr; },
                      false,
                      [window, before] {
                          BottomView* bar = indexAtRest(window)->bottom_view();
                          bar->changeState(bar->item("home"));
                          *before = Zoom::current();
                          Zoom::zoomTo(2, window);
                      }});
    stops_.push_back({"52-zoom-2x",
                      [window] {
                          const QWindow* handle = window->windowHandle();
                          return handle && handle->isExposed() && window->devicePixelRatioF() == 2;
                      },
                      true, [window, before] { Zoom::zoomTo(*before, window); }});
}

}  // namespace oa

// observeLookup: how a lookup screen receives a search result. The notification arrives on the
// searching thread; the handler only posts the result to the main loop, in a task that holds a
// guard made here, on the main thread, and checks it first. It never waits for the main thread:
// destroying the screen resets the token, which waits for a running handler, and a handler
// waiting for the main thread would then never end.
#pragma once

#include <QPointer>
#include <utility>

#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/protocol/LookupNotifications.h"

namespace oa {

// Calls `receive` on `view` (on the main loop) with each result of the notification `Kind`
// posted while the returned token lives and the view exists. Main thread only.
template <class Kind, class View>
[[nodiscard]] ObserverToken observeLookup(View* view,
                                          void (View::*receive)(typename Kind::Object)) {
    const QPointer<View> guard(view);
    return NotificationCenter::defaultCenter().addObserver(
        Kind::kName, [guard, receive](const Notification& note) {
            const auto* object = lookupResult<Kind>(note);
            typename Kind::Object result = object ? *object : typename Kind::Object{};
            MainLoop::main().post([guard, receive, result = std::move(result)]() mutable {
                if (View* target = guard.data()) {
                    (target->*receive)(std::move(result));
                }
            });
        });
}

}  // namespace oa

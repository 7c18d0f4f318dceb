// The main loop port on the Qt event loop: posted tasks are queued calls, timers are QTimers.
#pragma once

#include <QObject>
#include <QPointer>

#include "core/platform/MainLoop.h"

namespace oa {

class QtMainLoop : public MainLoop {
public:
    // Tasks run in the thread of `context` (the application object by default).
    explicit QtMainLoop(QObject* context = nullptr);

    void post(Task task) override;
    TimerHandle schedule(Duration delay, Task task, bool repeats = false) override;
    bool isMainThread() const override;

private:
    QPointer<QObject> context_;
};

}  // namespace oa

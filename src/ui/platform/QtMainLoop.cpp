// QtMainLoop: QMetaObject::invokeMethod for posts, a QTimer per scheduled task.
#include "ui/platform/QtMainLoop.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace oa {

QtMainLoop::QtMainLoop(QObject* context)
    : context_(context ? context : QCoreApplication::instance()) {}

void QtMainLoop::post(Task task) {
    if (!context_) {
        return;  // the application is gone; nothing can run any more
    }
    QMetaObject::invokeMethod(
        context_, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

TimerHandle QtMainLoop::schedule(Duration delay, Task task, bool repeats) {
    auto state = std::make_shared<TimerHandle::State>();
    auto start = [context = context_, state, delay, repeats, task = std::move(task)]() mutable {
        if (!context || state->cancelled) {
            return;
        }
        auto* timer = new QTimer(context);
        timer->setSingleShot(!repeats);
        timer->setInterval(static_cast<int>(delay.count()));
        QObject::connect(timer, &QTimer::timeout, timer, [timer, state, repeats, task] {
            if (state->cancelled) {
                timer->deleteLater();
                return;
            }
            task();
            if (!repeats || state->cancelled) {
                timer->deleteLater();
            }
        });
        timer->start();
    };
    if (isMainThread()) {
        start();
    } else {
        post(std::move(start));
    }
    return TimerHandle(state);
}

bool QtMainLoop::isMainThread() const {
    return context_ && QThread::currentThread() == context_->thread();
}

}  // namespace oa

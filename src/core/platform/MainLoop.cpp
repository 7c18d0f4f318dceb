// MainLoop helpers shared by every implementation, and the background-thread tracker.
#include "core/platform/MainLoop.h"

#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "core/platform/Log.h"

namespace oa {

void TimerHandle::cancel() {
    if (state_) {
        state_->cancelled = true;
    }
}

bool TimerHandle::isCancelled() const {
    return !state_ || state_->cancelled.load();
}

void MainLoop::postAndWait(Task task) {
    if (isMainThread()) {
        task();
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    post([&task, &done] {
        try {
            task();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    finished.get();
}

namespace {
std::atomic<MainLoop*> g_main{nullptr};

struct BackgroundThreads {
    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;  // Guarded by mutex.
};

BackgroundThreads& background() {
    static auto* threads = new BackgroundThreads;  // never destroyed: threads may outlive main()
    return *threads;
}
}  // namespace

Duration MainLoop::now() const {
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

MainLoop& MainLoop::main() {
    MainLoop* loop = g_main.load();
    if (!loop) {
        throw std::logic_error("MainLoop::main() used before MainLoop::setMain()");
    }
    return *loop;
}

bool MainLoop::hasMain() {
    return g_main.load() != nullptr;
}

void MainLoop::setMain(MainLoop* loop) {
    g_main.store(loop);
}

void runInBackground(Task task) {
    auto& threads = background();
    {
        std::lock_guard lock(threads.mutex);
        ++threads.running;
    }
    std::thread([task = std::move(task)] {
        try {
            task();
        } catch (const std::exception& e) {
            log(std::string("background task failed: ") + e.what());
        } catch (...) {
            log("background task failed");
        }
        auto& t = background();
        std::lock_guard lock(t.mutex);
        if (--t.running == 0) {
            t.idle.notify_all();
        }
    }).detach();
}

void joinBackgroundThreads() {
    auto& threads = background();
    std::unique_lock lock(threads.mutex);
    threads.idle.wait(lock, [&] { return threads.running == 0; });
}

}  // namespace oa

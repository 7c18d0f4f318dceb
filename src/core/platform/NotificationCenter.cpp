// NotificationCenter: observers are snapshotted under the lock and called outside it, each under
// its own recursive lock so that unregistering waits for a delivery in progress.
#include "core/platform/NotificationCenter.h"

#include <algorithm>

namespace oa {

struct ObserverToken::Entry {
    std::string name;
    NotificationCenter::Handler handler;
    NotificationCenter* center = nullptr;
    std::recursive_mutex callMutex;
    bool alive = true;  // Guarded by callMutex.
};

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept {
    if (this != &other) {
        reset();
        entry_ = std::move(other.entry_);
    }
    return *this;
}

ObserverToken::~ObserverToken() {
    reset();
}

void ObserverToken::reset() {
    if (!entry_) {
        return;
    }
    auto entry = std::move(entry_);
    entry->center->remove(entry);
    std::lock_guard lock(entry->callMutex);
    entry->alive = false;
}

NotificationCenter& NotificationCenter::defaultCenter() {
    static auto* center = new NotificationCenter;  // lives until the process ends
    return *center;
}

ObserverToken NotificationCenter::addObserver(std::string name, Handler handler) {
    auto entry = std::make_shared<ObserverToken::Entry>();
    entry->name = std::move(name);
    entry->handler = std::move(handler);
    entry->center = this;
    std::lock_guard lock(mutex_);
    observers_.push_back(entry);
    return ObserverToken(entry);
}

void NotificationCenter::post(const std::string& name, std::any object) {
    std::vector<std::shared_ptr<ObserverToken::Entry>> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto& entry : observers_) {
            if (entry->name == name) {
                targets.push_back(entry);
            }
        }
    }
    const Notification note{name, std::move(object)};
    for (const auto& entry : targets) {
        std::lock_guard lock(entry->callMutex);
        if (entry->alive) {
            entry->handler(note);
        }
    }
}

void NotificationCenter::remove(const std::shared_ptr<ObserverToken::Entry>& entry) {
    std::lock_guard lock(mutex_);
    observers_.erase(std::remove(observers_.begin(), observers_.end(), entry), observers_.end());
}

}  // namespace oa

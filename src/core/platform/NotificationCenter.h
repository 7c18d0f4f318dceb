// Named notifications with an optional object, delivered synchronously on the posting thread.
#pragma once

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace oa {

struct Notification {
    std::string name;
    std::any object;  // empty when the poster sent none
};

class NotificationCenter;

// Keeps an observer registered for as long as it lives; destroying or resetting it unregisters
// the observer. Once reset() has returned, the handler is not running and will not run again
// (unless reset() was called from inside the handler itself).
class ObserverToken {
public:
    ObserverToken() = default;
    ObserverToken(ObserverToken&&) noexcept = default;
    ObserverToken& operator=(ObserverToken&& other) noexcept;
    ObserverToken(const ObserverToken&) = delete;
    ObserverToken& operator=(const ObserverToken&) = delete;
    ~ObserverToken();

    void reset();
    bool isActive() const { return entry_ != nullptr; }

    struct Entry;

private:
    friend class NotificationCenter;
    explicit ObserverToken(std::shared_ptr<Entry> entry) : entry_(std::move(entry)) {}
    std::shared_ptr<Entry> entry_;
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    [[nodiscard]] ObserverToken addObserver(std::string name, Handler handler);
    void post(const std::string& name, std::any object = {});

private:
    friend class ObserverToken;
    void remove(const std::shared_ptr<ObserverToken::Entry>& entry);

    std::mutex mutex_;
    std::vector<std::shared_ptr<ObserverToken::Entry>> observers_;  // Guarded by mutex_.
};

}  // namespace oa

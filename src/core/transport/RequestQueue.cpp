// RequestQueue: worker threads started on demand, up to the limit, that end when idle.
#include "core/transport/RequestQueue.h"

#include <algorithm>
#include <thread>

#include "core/transport/ASIHTTPRequest.h"

namespace oa {

RequestQueue& RequestQueue::shared() {
    // Never destroyed: its threads may still run while the process exits.
    static auto* queue = new RequestQueue;
    return *queue;
}

void RequestQueue::add(std::shared_ptr<ASIHTTPRequest> request) {
    std::lock_guard lock(mutex_);
    waiting_.push_back(std::move(request));
    if (workers_ < kMaxConcurrent) {
        ++workers_;
        std::thread([this] { work(); }).detach();
    }
}

void RequestQueue::work() {
    for (;;) {
        std::shared_ptr<ASIHTTPRequest> request;
        {
            std::lock_guard lock(mutex_);
            if (waiting_.empty()) {
                --workers_;
                if (workers_ == 0) {
                    idle_.notify_all();
                }
                return;
            }
            request = std::move(waiting_.front());
            waiting_.pop_front();
            running_.push_back(request);
        }
        request->runQueued();
        std::lock_guard lock(mutex_);
        running_.erase(std::find(running_.begin(), running_.end(), request));
    }
}

void RequestQueue::cancelAllRequests() {
    std::vector<std::shared_ptr<ASIHTTPRequest>> all;
    {
        std::lock_guard lock(mutex_);
        all.assign(waiting_.begin(), waiting_.end());
        all.insert(all.end(), running_.begin(), running_.end());
    }
    for (const auto& request : all) {
        request->clearDelegatesAndCancel();
    }
}

int RequestQueue::runningCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(running_.size());
}

int RequestQueue::waitingCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(waiting_.size());
}

void RequestQueue::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return workers_ == 0; });
}

}  // namespace oa

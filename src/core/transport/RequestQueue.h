// The shared queue of asynchronous requests: at most four run at once, each on a queue
// thread, the rest wait in order.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace oa {

class ASIHTTPRequest;

class RequestQueue {
public:
    static constexpr int kMaxConcurrent = 4;

    static RequestQueue& shared();

    void add(std::shared_ptr<ASIHTTPRequest> request);
    // Detaches the delegate of every waiting and running request and cancels it, so that no
    // callback of theirs follows.
    void cancelAllRequests();

    int runningCount() const;
    int waitingCount() const;
    // Blocks until nothing waits or runs. For tests and orderly shutdown.
    void waitUntilIdle();

private:
    RequestQueue() = default;
    void work();

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::deque<std::shared_ptr<ASIHTTPRequest>> waiting_;   // Guarded by mutex_.
    std::vector<std::shared_ptr<ASIHTTPRequest>> running_;  // Guarded by mutex_.
    int workers_ = 0;                                       // Guarded by mutex_.
};

}  // namespace oa

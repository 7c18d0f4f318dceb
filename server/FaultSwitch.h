// Makes pages fail or hang on purpose, for tests and demonstrations: POST "/demo/admin/fault"
// (for requests AdminGuard admits) with "page" (a path such as "/mobile/diary/submit.php"),
// "count" (how many of the next requests to that page are affected, 1 by default; 0 switches
// the fault off) and either "status" (400 to 599: those requests are answered with it and reach
// no page) or "delay_ms" (1 to 60000: those requests wait that long, then are served as usual).
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

namespace oa {

class PageRouter;

class FaultSwitch {
public:
    static constexpr int kMaxCount = 1000;
    static constexpr int kMaxDelayMs = 60'000;

    // Registers the admin page.
    void install(PageRouter& router);

    // Runs before a page: true when the fault of the request's page answered it; after a delay
    // the page is served as usual (false).
    bool intercept(const httplib::Request& req, httplib::Response& res);

    // Wakes every delayed request (they are then served at once) and delays none from now on.
    void stop();

private:
    struct Fault {
        int remaining = 0;
        int status = 0;   // 0: a delay
        int delayMs = 0;  // with status 0
    };

    void admin(const httplib::Request& req, httplib::Response& res);

    std::mutex mutex_;
    std::condition_variable stopped_;
    std::map<std::string, Fault> faults_;  // Guarded by mutex_; by page path.
    bool stopping_ = false;                // Guarded by mutex_.
};

}  // namespace oa

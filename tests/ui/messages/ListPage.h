// Shared set-up of the conversation and reminder list tests: a page of the list sized as the
// index sizes it, loads without delay, waits on the page's own load signal, and the server
// address the requests go to.
#pragma once

#include <QCoreApplication>
#include <QLabel>
#include <QtTest>
#include <string>

#include "core/platform/MainLoop.h"
#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"
#include "ui/kit/PullingRefreshTableView.h"

namespace oa::messages {

// Lets loads still running end and their results reach the main thread.
inline void drain() {
    joinBackgroundThreads();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

inline void pointAt(test::HttpTestServer& server) {
    GlobalVar::getInstance_global().setOa(server.url(""));
    GlobalVar::getInstance_global().setSession_id(std::string("S"));
}

inline std::string field(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return {};
}

// How many requests so far carried `value` in the form field `name` (or, with an empty name,
// whose target contains `value`).
inline int countRequests(const test::HttpTestServer& server, const std::string& name,
                         const std::string& value) {
    int count = 0;
    for (const auto& request : server.requests()) {
        if (name.empty() ? request.target.find(value) != std::string::npos
                         : field(request, name) == value) {
            ++count;
        }
    }
    return count;
}

// Counts a page's loadFinished signals; waits until `count` of them came and the header closed
// (a touch while the content still moves selects nothing).
template <class Page>
class Loads {
public:
    explicit Loads(Page* page) : page_(page) {
        QObject::connect(page, &Page::loadFinished, [this] { ++finished_; });
    }
    int finished() const { return finished_; }
    bool waitFor(int count) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            PullingRefreshTableView* table = page_->tableView();
            if (finished_ >= count && table && !table->isLoading() &&
                table->contentInset() == EdgeInsets{}) {
                return true;
            }
            QTest::qWait(5);
        }
        return false;
    }

private:
    Page* page_;
    int finished_ = 0;
};

// The text of the orange strip, or "" when none shows.
inline QString strip(PullingRefreshTableView* table) {
    return table && table->msgLabel() ? table->msgLabel()->text() : QString();
}

}  // namespace oa::messages

// A loopback directory server for the picker tests: search replies by keyword (one of them
// held until released), the department list and the member reply, each settable while the test
// runs, and the "Q_ID" of every member request.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"

namespace oa::picker {

inline std::string field(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return {};
}

// One person of a search or member reply.
inline std::string person(const std::string& id, const std::string& uid, const std::string& name,
                          const std::string& dept = "研发部") {
    return "{\"user_id\":\"" + id + "\",\"user_uid\":\"" + uid + "\",\"user_name\":\"" + name +
           "\",\"priv_name\":\"职员\",\"dept_name\":\"" + dept + "\",\"sex\":\"0\"}";
}

class PickerServer {
public:
    PickerServer() {
        server.setHandler("/mobile/inc/get_contactlist.php",
                          [this](const test::CapturedRequest& request,
                                 test::HttpTestServer::Exchange& ex) { answer(request, ex); });
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id(std::string("S"));
    }

    // The reply to a search for `keyword`; other keywords find nobody.
    void setSearch(const std::string& keyword, const std::string& body) {
        std::lock_guard lock(mutex_);
        searches_[keyword] = body;
    }
    // The search for `keyword` waits for server.release() before it answers.
    void holdSearch(const std::string& keyword) {
        std::lock_guard lock(mutex_);
        held_ = keyword;
    }
    void setDepts(const std::string& body) {
        std::lock_guard lock(mutex_);
        depts_ = body;
    }
    void setMembers(const std::string& body) {
        std::lock_guard lock(mutex_);
        members_ = body;
    }
    std::vector<std::string> memberRequests() const {
        std::lock_guard lock(mutex_);
        return memberRequests_;
    }

    test::HttpTestServer server;

private:
    void answer(const test::CapturedRequest& request, test::HttpTestServer::Exchange& ex) {
        const std::string action = field(request, "A");
        std::string body = "[]";
        bool hold = false;
        {
            std::lock_guard lock(mutex_);
            if (action == "get_Dept") {
                body = depts_;
            } else if (action == "get_USER") {
                memberRequests_.push_back(field(request, "Q_ID"));
                body = members_;
            } else {
                const std::string keyword = field(request, "KWORD");
                if (const auto found = searches_.find(keyword); found != searches_.end()) {
                    body = found->second;
                }
                hold = keyword == held_;
            }
        }
        if (hold && !ex.waitForRelease()) {
            return;
        }
        ex.reply({200, {{"Content-Type", "text/html; charset=utf-8"}}, body});
    }

    mutable std::mutex mutex_;
    std::map<std::string, std::string> searches_;
    std::string held_;
    std::string depts_ = "[]";
    std::string members_ = "[]";
    std::vector<std::string> memberRequests_;
};

}  // namespace oa::picker

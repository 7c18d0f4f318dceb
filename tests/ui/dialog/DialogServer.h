// A loopback OA server for the dialog tests: the conversation, the conversation list and the
// newest message after a push, the text and voice sends and the voice download, each answer
// settable while the test runs, and a way to hold the next dialog reply until released.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/MainLoop.h"
#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"

namespace oa::dialog {

inline std::string field(const test::CapturedRequest& request, const std::string& name) {
    for (const auto& part : request.form()) {
        if (part.name == name) {
            return part.value;
        }
    }
    return {};
}

// One record of the dialog reply.
inline std::string record(const std::string& content, const std::string& from,
                          const std::string& voice = "0", const std::string& duration = "",
                          const std::string& attachment = "") {
    return "{\"q_id\":\"1\",\"q_uid\":\"2\",\"q_name\":\"n\",\"avatar\":\"" + from +
           "\",\"send_time\":\"10:00\",\"content\":\"" + content + "\",\"msg_from\":\"" + from +
           "\",\"msg_type_name\":\"t\",\"isvoicemsg\":\"" + voice + "\",\"attachment_id\":\"" +
           attachment + "\",\"attachment_name\":\"" + attachment + ".amr\",\"duration\":\"" +
           duration + "\"}";
}

class DialogServer {
public:
    DialogServer() {
        server.setHandler("/mobile/message/data.php",
                          [this](const test::CapturedRequest& request,
                                 test::HttpTestServer::Exchange& ex) { message(request, ex); });
        server.setHandler("/corvane/im/upload.php",
                          [this](const test::CapturedRequest&, test::HttpTestServer::Exchange& ex) {
                              bool hold = false;
                              {
                                  std::lock_guard lock(mutex_);
                                  hold = holdUpload_;
                                  holdUpload_ = false;
                              }
                              if (hold && !ex.waitForRelease()) {
                                  return;
                              }
                              ex.reply({get(sendStatus_), {}, "OK"});
                          });
        server.setHandler("/corvane/im/down.php",
                          [this](const test::CapturedRequest&, test::HttpTestServer::Exchange& ex) {
                              std::string body;
                              int status = 0;
                              {
                                  std::lock_guard lock(mutex_);
                                  body = voice_;
                                  status = voiceStatus_;
                              }
                              if (cutVoice_) {
                                  // Promises more than it sends, then hangs up.
                                  ex.write("HTTP/1.1 200 OK\r\nContent-Length: " +
                                           std::to_string(body.size() + 1000) + "\r\n\r\n" +
                                           body.substr(0, body.size() / 2));
                                  ex.closeAfterwards();
                                  return;
                              }
                              ex.reply({status, {}, body});
                          });
        GlobalVar::getInstance_global().setOa(server.url(""));
        GlobalVar::getInstance_global().setSession_id(std::string("S"));
        GlobalVar::getInstance_global().setUid(std::string("me"));
    }

    void setDialog(int status, const std::string& body) {
        std::lock_guard lock(mutex_);
        dialogStatus_ = status;
        dialog_ = body;
    }
    void setNewest(const std::string& body) {
        std::lock_guard lock(mutex_);
        newest_ = body;
    }
    // The conversation list: one row per partner id with its count of unread messages.
    void setUnread(const std::vector<std::pair<std::string, int>>& partners) {
        std::string body = "[";
        for (const auto& [id, unread] : partners) {
            body += (body.size() > 1 ? "," : "") + std::string("{\"q_id\":\"") + id +
                    "\",\"q_name\":\"n\",\"content\":\"c\",\"unread_num\":\"" +
                    std::to_string(unread) + "\"}";
        }
        std::lock_guard lock(mutex_);
        conversations_ = body + "]";
    }
    void setSendStatus(int status) { set(sendStatus_, status); }
    void setVoice(int status, const std::string& body, bool cut = false) {
        std::lock_guard lock(mutex_);
        voiceStatus_ = status;
        voice_ = body;
        cutVoice_ = cut;
    }
    // The next dialog request waits for server.release() and then answers `body`.
    void holdNextDialog(const std::string& body) {
        std::lock_guard lock(mutex_);
        held_ = body;
        holdNext_ = true;
    }

    // The next voice upload waits for server.release().
    void holdNextUpload() {
        std::lock_guard lock(mutex_);
        holdUpload_ = true;
    }

    int count(const std::string& name, const std::string& value) const {
        int n = 0;
        for (const auto& request : server.requests()) {
            if (field(request, name) == value) {
                ++n;
            }
        }
        return n;
    }
    // The requests that carried `value` in `name`, in order.
    std::vector<test::CapturedRequest> matching(const std::string& name,
                                                const std::string& value) const {
        std::vector<test::CapturedRequest> out;
        for (const auto& request : server.requests()) {
            if (field(request, name) == value) {
                out.push_back(request);
            }
        }
        return out;
    }

    test::HttpTestServer server;

private:
    int get(const int& value) {
        std::lock_guard lock(mutex_);
        return value;
    }
    void set(int& slot, int value) {
        std::lock_guard lock(mutex_);
        slot = value;
    }
    void message(const test::CapturedRequest& request, test::HttpTestServer::Exchange& ex) {
        const std::string action = field(request, "ATYPE");
        std::unique_lock lock(mutex_);
        if (action == "getDialogList") {
            if (holdNext_) {
                holdNext_ = false;
                const std::string body = held_;
                lock.unlock();
                if (ex.waitForRelease()) {
                    ex.reply({200, {}, body});
                }
                return;
            }
            const CannedReplyCopy reply{dialogStatus_, dialog_};
            lock.unlock();
            ex.reply({reply.status, {{"Content-Type", "text/html; charset=utf-8"}}, reply.body});
        } else if (action == "sendSignleMsg") {
            const int status = sendStatus_;
            lock.unlock();
            ex.reply({status, {}, "OK"});
        } else if (action == "refreshList") {
            const std::string body = conversations_;
            lock.unlock();
            ex.reply({200, {}, body});
        } else if (action == "getSingleNewMsg") {
            const std::string body = newest_;
            lock.unlock();
            ex.reply({200, {}, body});
        } else {
            lock.unlock();
            ex.reply({404, {}, ""});
        }
    }
    struct CannedReplyCopy {
        int status;
        std::string body;
    };

    mutable std::mutex mutex_;
    int dialogStatus_ = 200;
    std::string dialog_ = "[]";
    std::string newest_ = "NONEWDATA";
    std::string conversations_ = "[]";
    int sendStatus_ = 200;
    int voiceStatus_ = 200;
    std::string voice_;
    bool cutVoice_ = false;
    bool holdNext_ = false;
    bool holdUpload_ = false;
    std::string held_;
};

// Lets background work still running end and its results reach the main thread.
inline void drain() {
    joinBackgroundThreads();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

}  // namespace oa::dialog

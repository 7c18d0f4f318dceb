// Instant messages over HTTP: the conversation list, a dialog, sending to one or several people,
// the newest unread message, and the voice upload and download. Every new message pushes
// "n^message" to its recipient.
#pragma once

#include "server/Deliveries.h"
#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class MessagePages {
public:
    // Texts longer than this are refused rather than stored.
    static constexpr std::size_t kMaxTextBytes = 4000;
    static constexpr std::size_t kMaxVoiceBytes = 1024 * 1024;
    static constexpr int kDialogLength = 50;

    MessagePages(ServerContext& ctx, Deliveries& deliveries) : ctx_(ctx), deliveries_(deliveries) {}
    void install(PageRouter& router);

private:
    void data(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void conversations(httplib::Response& res, const SessionUser& user);
    void dialog(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void sendOne(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void sendMany(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void newest(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void uploadVoice(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void downloadVoice(const httplib::Request& req, httplib::Response& res,
                       const SessionUser& user);

    // Checks a message text; answers the error itself and returns false when it is unusable.
    static bool acceptText(const std::string& text, httplib::Response& res);

    ServerContext& ctx_;
    Deliveries& deliveries_;
};

}  // namespace oa

// Pages that serve files: the attachment snippet of "/mobile/attach.php", attachment downloads
// for read pages and the attachment viewer, staff photos, and the pictures that item contents
// show inline (public, since contents are shared and web views send no session cookie).
#pragma once

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class AttachmentPages {
public:
    explicit AttachmentPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

    // The inline pictures by file name ("news_meeting.png", "org_chart.png"); absent for any
    // other name.
    static const std::string* inlinePicture(const std::string& name);

private:
    void snippet(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void download(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void avatar(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
};

}  // namespace oa

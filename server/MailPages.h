// The e-mail module: inbox list and detail ("/mobile/email/data.php"), the read page, and the
// e-mail submission with picture attachments.
#pragma once

#include "server/Deliveries.h"
#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class MailPages {
public:
    MailPages(ServerContext& ctx, Deliveries& deliveries) : ctx_(ctx), deliveries_(deliveries) {}
    void install(PageRouter& router);

    // Picture parts "uploadedfile_0", "uploadedfile_1", ... of a submission, in number order.
    // File names are reduced to their last path component.
    static std::vector<UploadedFile> uploadedPictures(const httplib::Request& req);

private:
    void data(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void detail(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void read(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void submit(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
    Deliveries& deliveries_;
};

}  // namespace oa

// The personal and the public file cabinet on "/mobile/file_folder/data.php": top-level lists
// ("FTYPE" "personal" / "public"), folder contents ("getListContent"), file details and the read
// page. A user sees the public cabinet and their own personal one.
#pragma once

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class FileCabinetPages {
public:
    explicit FileCabinetPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

private:
    void data(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void folder(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void detail(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void read(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
};

}  // namespace oa

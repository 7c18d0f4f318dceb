// Notices and news: lists and details on "/mobile/notify/data.php" and "/mobile/news/data.php"
// and their read pages. Reading marks the item read for the user; a news item's click count is
// the number of its readers on top of its count before this database.
#pragma once

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class BulletinPages {
public:
    explicit BulletinPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

private:
    void notifyData(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void notifyRead(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void newsData(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void newsRead(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
};

}  // namespace oa

// Directory lookups: staff search, departments and their members for the recipient picker,
// a person's card, the address book, area and post codes, and the weather.
#pragma once

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class DirectoryPages {
public:
    static constexpr int kMaxPlaces = 50;

    explicit DirectoryPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

private:
    void contactList(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void userInfo(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void address(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void telNo(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void weather(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
};

}  // namespace oa

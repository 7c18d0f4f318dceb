// Schedule entries and work diaries: the calendar list and its submission, the diary lists of
// one's own and of shared diaries ("FTYPE" "diary" / "share"), diary details, read page and
// submission. Shared diaries are those that colleagues of the same department shared.
#pragma once

#include "server/PageRouter.h"
#include "server/ServerContext.h"

namespace oa {

class PlannerPages {
public:
    explicit PlannerPages(ServerContext& ctx) : ctx_(ctx) {}
    void install(PageRouter& router);

private:
    void calendarData(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void calendarSubmit(const httplib::Request& req, httplib::Response& res,
                        const SessionUser& user);
    void diaryData(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void diaryDetail(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void diaryRead(const httplib::Request& req, httplib::Response& res, const SessionUser& user);
    void diarySubmit(const httplib::Request& req, httplib::Response& res, const SessionUser& user);

    ServerContext& ctx_;
};

}  // namespace oa

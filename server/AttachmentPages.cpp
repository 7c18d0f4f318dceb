// File-serving pages.
#include "server/AttachmentPages.h"

#include <map>

#include "server/AttachmentStore.h"
#include "server/HttpSupport.h"
#include "server/PngImage.h"

namespace oa {

const std::string* AttachmentPages::inlinePicture(const std::string& name) {
    // Drawn once, on first use; thread-safe as a function-local static.
    static const std::map<std::string, std::string> pictures = {
        {"news_meeting.png", PngImage::cityscape(480, 270).encode()},
        {"org_chart.png", PngImage::orgChart(480, 320).encode()},
    };
    const auto it = pictures.find(name);
    return it == pictures.end() ? nullptr : &it->second;
}

void AttachmentPages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.page("/mobile/attach.php", "", PageRouter::Reply::text,
                std::bind(&AttachmentPages::snippet, this, _1, _2, _3));
    router.page("/mobile/inc/attach_file.php", "", PageRouter::Reply::html,
                std::bind(&AttachmentPages::download, this, _1, _2, _3));
    router.page("/mobile/inc/avatar.php", "", PageRouter::Reply::text,
                std::bind(&AttachmentPages::avatar, this, _1, _2, _3));
    router.open(R"(/mobile/images/([A-Za-z0-9_]+\.png))",
                [](const httplib::Request& req, httplib::Response& res) {
                    const std::string* picture = inlinePicture(req.matches[1]);
                    if (!picture) {
                        HttpSupport::error(res, 404, "no such picture");
                        return;
                    }
                    res.set_header("Cache-Control", "max-age=86400");
                    res.set_content(*picture, "image/png");
                });
}

void AttachmentPages::snippet(const httplib::Request& req, httplib::Response& res,
                              const SessionUser& user) {
    const auto id = HttpSupport::requireId(req, res, "ATTACHMENT_ID");
    if (!id) {
        return;
    }
    const std::string name = HttpSupport::fieldOr(req, "ATTACHMENT_NAME");
    auto lock = ctx_.db.lock();
    const auto file = AttachmentStore::loadVisible(ctx_.db, *id, name, user.uid);
    if (!file) {
        HttpSupport::error(res, 404, "no such attachment");
        return;
    }
    lock.unlock();
    HttpSupport::html(res, AttachmentStore::snippet(user.sessionId, {file->id, file->name}));
}

void AttachmentPages::download(const httplib::Request& req, httplib::Response& res,
                               const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "ATTACHMENT_ID");
    const std::string name = HttpSupport::fieldOr(req, "ATTACHMENT_NAME");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少附件编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    auto file = AttachmentStore::loadVisible(ctx_.db, *id, name, user.uid);
    if (!file) {
        HttpSupport::htmlError(res, 404, "附件不存在或无权查看。");
        return;
    }
    lock.unlock();
    res.set_header("Content-Disposition",
                   "inline; filename*=UTF-8''" + HttpSupport::urlEncode(file->name));
    res.status = 200;
    if (ctx_.attachmentPacer) {
        ctx_.attachmentPacer->serve(res, std::move(file->data), file->mime);
    } else {
        res.set_content(std::move(file->data), file->mime);
    }
}

void AttachmentPages::avatar(const httplib::Request& req, httplib::Response& res,
                             const SessionUser&) {
    const auto uid = HttpSupport::requireId(req, res, "UID");
    if (!uid) {
        return;
    }
    std::int64_t sex = 0;
    {
        auto lock = ctx_.db.lock();
        Statement stmt =
            ctx_.db.query("SELECT sex FROM users WHERE uid = ? AND has_photo = 1", *uid);
        if (!stmt.step()) {
            HttpSupport::error(res, 404, "no photo");
            return;
        }
        sex = stmt.integer(0);
    }
    res.set_header("Cache-Control", "max-age=3600");
    res.set_content(PngImage::avatar(96, static_cast<int>(*uid), sex == 1).encode(), "image/png");
}

}  // namespace oa

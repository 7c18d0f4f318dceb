// Admin events.
#include "server/AdminPages.h"

#include <algorithm>
#include <cctype>

#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/VoiceSynth.h"

namespace oa {

namespace {

bool isColour(const std::string& text) {
    if (text.empty()) {
        return true;
    }
    if (text.size() != 7 || text[0] != '#') {
        return false;
    }
    return std::all_of(text.begin() + 1, text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

}  // namespace

void AdminPages::install(PageRouter& router) {
    router.admin("/demo/admin/event",
                 [this](const httplib::Request& req, httplib::Response& res) { event(req, res); });
}

void AdminPages::event(const httplib::Request& req, httplib::Response& res) {
    const std::string kind = HttpSupport::fieldOr(req, "kind");
    const std::string subject = HttpSupport::fieldOr(req, "subject", "演示事件");
    const std::string content = HttpSupport::fieldOr(req, "content", subject);
    const std::string colour = HttpSupport::fieldOr(req, "colour");
    std::int64_t from = 0, to = 0;
    {
        auto lock = ctx_.db.lock();
        const auto fromIds =
            Deliveries::usersByLoginNames(ctx_.db, HttpSupport::fieldOr(req, "from", "liuli"));
        const auto toIds = Deliveries::usersByLoginNames(ctx_.db, HttpSupport::fieldOr(req, "to"));
        from = fromIds.empty() ? 0 : fromIds.front();
        to = toIds.empty() ? 0 : toIds.front();
    }
    if (from == 0) {
        HttpSupport::error(res, 400, "from must be a login name");
        return;
    }
    const bool needsRecipient = kind == "email" || kind == "reminder" || kind == "message";
    if (needsRecipient && (to == 0 || to == from)) {
        HttpSupport::error(res, 400, "to must be the login name of another user");
        return;
    }
    if (!isColour(colour)) {
        HttpSupport::error(res, 400, "colour must look like #RRGGBB");
        return;
    }
    std::int64_t id = 0;
    if (kind == "email") {
        EmailDraft draft;
        draft.fromUid = from;
        draft.to = {to};
        draft.subject = subject;
        draft.contentHtml = HtmlPage::fromPlainText(content);
        draft.important = HttpSupport::fieldOr(req, "important") == "1" ? 1 : 0;
        id = deliveries_.sendEmail(draft);
    } else if (kind == "notify") {
        id = deliveries_.postNotice(from, HttpSupport::fieldOr(req, "type", "通知"), subject,
                                    colour, HttpSupport::fieldOr(req, "top") == "1",
                                    HtmlPage::fromPlainText(content));
    } else if (kind == "news") {
        id = deliveries_.postNews(from, subject, colour, HtmlPage::fromPlainText(content));
    } else if (kind == "reminder") {
        const auto type = HttpSupport::idField(req, "sms_type", "0");
        if (!type || *type > 1000) {
            HttpSupport::error(res, 400, "sms_type must be a small number");
            return;
        }
        id = deliveries_.addReminder(to, from, static_cast<int>(*type), content, "");
    } else if (kind == "message" && req.has_param("voice")) {
        // A synthesised voice message of whole seconds, as the client would have recorded it.
        const auto seconds = HttpSupport::idField(req, "voice", "0");
        if (!seconds || *seconds < 1 || *seconds > kMaxVoiceSeconds) {
            HttpSupport::error(res, 400, "voice must be whole seconds from 1 to 60");
            return;
        }
        const auto amr = VoiceSynth::encodeAmr(VoiceSynth::speechLike(
            static_cast<double>(*seconds), static_cast<unsigned>(from * 7919 + to), false));
        if (amr.empty()) {
            HttpSupport::error(res, 500, "the voice could not be encoded");
            return;
        }
        id = deliveries_.sendVoice(from, {to}, amr, static_cast<int>(*seconds)).front();
    } else if (kind == "message") {
        id = deliveries_.sendMessage(from, {to}, content).front();
    } else {
        HttpSupport::error(res, 400, "kind must be email, notify, news, reminder or message");
        return;
    }
    HttpSupport::json(res, {{"status", "OK"}, {"q_id", std::to_string(id)}});
}

}  // namespace oa

// Workflow pages and the reminder redirect.
#include "server/WebPages.h"

#include <algorithm>
#include <cctype>

#include "server/HtmlPage.h"
#include "server/HttpSupport.h"
#include "server/TimeText.h"

namespace oa {

namespace {

std::string withSession(std::string path, const std::string& sessionId) {
    const auto query = path.find('?');
    if (query != std::string::npos) {
        const std::string params = std::string("&").append(path, query + 1);
        if (params.find("&P=") != std::string::npos) {
            return path;
        }
    }
    path += (query == std::string::npos ? "?" : "&");
    return path + "P=" + HttpSupport::urlEncode(sessionId);
}

std::string listLink(const std::string& sessionId) {
    return "/mobile/workflow/?P=" + HttpSupport::urlEncode(sessionId);
}

constexpr const char* kBackToMain =
    "<p><a class=\"button\" href=\"backtomain:index\">返回主界面</a></p>";

}  // namespace

void WebPages::install(PageRouter& router) {
    using namespace std::placeholders;
    for (const char* path : {"/mobile/workflow/", "/mobile/workflow/index.php"}) {
        router.page(path, "workflow", PageRouter::Reply::html,
                    std::bind(&WebPages::workflowList, this, _1, _2, _3));
    }
    router.page("/mobile/workflow/view.php", "workflow", PageRouter::Reply::html,
                std::bind(&WebPages::workflowStep, this, _1, _2, _3));
    router.page("/mobile/workflow/handle.php", "workflow", PageRouter::Reply::html,
                std::bind(&WebPages::workflowHandle, this, _1, _2, _3));
    router.page("/mobile/go.php", "", PageRouter::Reply::html,
                std::bind(&WebPages::go, this, _1, _2, _3));
}

void WebPages::workflowList(const httplib::Request&, httplib::Response& res,
                            const SessionUser& user) {
    std::string pending, done;
    int pendingCount = 0;
    {
        auto lock = ctx_.db.lock();
        Statement stmt = ctx_.db.query(
            "SELECT r.run_id, r.flow_name, r.title, u.user_name, r.begin_time, r.done FROM "
            "workflow_runs r JOIN users u ON u.uid = r.begin_uid WHERE r.uid = ? "
            "ORDER BY r.run_id DESC",
            user.uid);
        while (stmt.step()) {
            const std::string item = "<li><a href=\"/mobile/workflow/view.php?P=" +
                                     HtmlPage::escape(HttpSupport::urlEncode(user.sessionId)) +
                                     "&amp;RUN_ID=" + std::to_string(stmt.integer(0)) + "\">[" +
                                     HtmlPage::escape(stmt.text(1)) + "] " +
                                     HtmlPage::escape(stmt.text(2)) + "<p class=\"meta\">发起人：" +
                                     HtmlPage::escape(stmt.text(3)) + "　" +
                                     TimeText::monthDayClock(stmt.text(4)) + "</p></a></li>";
            if (stmt.integer(5)) {
                done += item;
            } else {
                pending += item;
                ++pendingCount;
            }
        }
    }
    std::string body = kBackToMain;
    body += "<h1>待办工作（" + std::to_string(pendingCount) + "）</h1><ul class=\"list\">" +
            (pending.empty() ? "<li>暂无待办工作。</li>" : pending) + "</ul>";
    body += "<h1>已办工作</h1><ul class=\"list\">" + (done.empty() ? "<li>暂无。</li>" : done) +
            "</ul>";
    HttpSupport::html(res, HtmlPage::document("工作流", body));
}

void WebPages::workflowStep(const httplib::Request& req, httplib::Response& res,
                            const SessionUser& user) {
    const auto id = HttpSupport::idField(req, "RUN_ID");
    if (!id) {
        HttpSupport::htmlError(res, 400, "缺少工作编号。");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(
        "SELECT r.flow_name, r.title, r.detail, u.user_name, r.begin_time, r.done, r.opinion "
        "FROM workflow_runs r JOIN users u ON u.uid = r.begin_uid WHERE r.run_id = ? AND "
        "r.uid = ?",
        *id, user.uid);
    if (!stmt.step()) {
        HttpSupport::htmlError(res, 404, "工作不存在或不由您办理。");
        return;
    }
    std::string body = "<div class=\"card\"><h1>" + HtmlPage::escape(stmt.text(0)) + "：" +
                       HtmlPage::escape(stmt.text(1)) + "</h1><p class=\"meta\">发起人：" +
                       HtmlPage::escape(stmt.text(3)) + "　" + TimeText::minutes(stmt.text(4)) +
                       "</p><div class=\"content\">" + HtmlPage::fromPlainText(stmt.text(2)) +
                       "</div>";
    if (stmt.integer(5)) {
        body += "<p class=\"done\">已办结。意见：" + HtmlPage::escape(stmt.text(6)) + "</p>";
    } else {
        body +=
            "<form method=\"post\" action=\"/mobile/workflow/handle.php\">"
            "<input type=\"hidden\" name=\"P\" value=\"" +
            HtmlPage::escape(user.sessionId) +
            "\"><input type=\"hidden\" name=\"RUN_ID\" value=\"" + std::to_string(*id) +
            "\"><p>办理意见：</p><textarea name=\"OPINION\" rows=\"3\" "
            "style=\"width:100%\"></textarea><p><button name=\"DECISION\" value=\"agree\">"
            "同意</button> <button name=\"DECISION\" value=\"reject\">退回</button></p>"
            "</form>";
    }
    body += "</div><p><a class=\"button\" href=\"" + HtmlPage::escape(listLink(user.sessionId)) +
            "\">返回列表</a><a class=\"button\" href=\"backtomain:index\">返回主界面</a></p>";
    const std::string title = stmt.text(0);
    lock.unlock();
    HttpSupport::html(res, HtmlPage::document(title, body));
}

void WebPages::workflowHandle(const httplib::Request& req, httplib::Response& res,
                              const SessionUser& user) {
    if (req.method != "POST") {
        HttpSupport::htmlError(res, 405, "请通过表单办理。");
        return;
    }
    const auto id = HttpSupport::idField(req, "RUN_ID");
    const std::string decision = HttpSupport::fieldOr(req, "DECISION");
    std::string opinion = HttpSupport::fieldOr(req, "OPINION");
    if (!id || (decision != "agree" && decision != "reject") || opinion.size() > 2000) {
        HttpSupport::htmlError(res, 400, "办理请求不完整。");
        return;
    }
    const bool agree = decision == "agree";
    opinion = (agree ? "同意。" : "退回。") + opinion;
    std::int64_t initiator = 0;
    std::string what;
    {
        auto lock = ctx_.db.lock();
        Statement stmt = ctx_.db.query(
            "SELECT begin_uid, flow_name, title FROM workflow_runs WHERE run_id = ? AND uid = ? "
            "AND done = 0",
            *id, user.uid);
        if (!stmt.step()) {
            HttpSupport::htmlError(res, 404, "工作不存在或已办结。");
            return;
        }
        initiator = stmt.integer(0);
        what = stmt.text(1) + "（" + stmt.text(2) + "）";
        ctx_.db.run("UPDATE workflow_runs SET done = 1, opinion = ? WHERE run_id = ?", opinion,
                    *id);
    }
    deliveries_.addReminder(initiator, user.uid, 41,
                            (agree ? "工作流已办结：" : "工作流被退回：") + what, "");
    res.set_redirect(listLink(user.sessionId), 303);
}

std::optional<std::string> WebPages::localTarget(const std::string& address,
                                                 const std::string& host,
                                                 const std::string& sessionId) {
    if (address.empty() || std::any_of(address.begin(), address.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        })) {
        return std::nullopt;
    }
    if (address[0] == '/') {
        if (address.size() > 1 && (address[1] == '/' || address[1] == '\\')) {
            return std::nullopt;  // "//host/..." names another server
        }
        return withSession(address, sessionId);
    }
    const std::string low = HttpSupport::lowerAscii(address);
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix = scheme;
        if (low.rfind(prefix, 0) != 0) {
            continue;
        }
        const auto slash = address.find('/', prefix.size());
        const std::string authority = HttpSupport::lowerAscii(address.substr(
            prefix.size(), slash == std::string::npos ? std::string::npos : slash - prefix.size()));
        if (host.empty() || authority != HttpSupport::lowerAscii(host)) {
            return std::nullopt;
        }
        return withSession(slash == std::string::npos ? "/" : address.substr(slash), sessionId);
    }
    return std::nullopt;
}

void WebPages::go(const httplib::Request& req, httplib::Response& res, const SessionUser& user) {
    const std::string encoded = HttpSupport::fieldOr(req, "MobileWebViewURL");
    bool ok = false;
    const std::string address = HttpSupport::base64Decode(encoded, &ok);
    if (!ok || address.empty()) {
        HttpSupport::htmlError(res, 400, "提醒地址无效。");
        return;
    }
    if (const auto target = localTarget(address, req.get_header_value("Host"), user.sessionId)) {
        res.set_redirect(*target, 302);
        return;
    }
    // An address elsewhere is not followed automatically: the page shows where it leads, as a
    // link only for web addresses (never a "javascript:" one).
    const std::string low = HttpSupport::lowerAscii(address);
    const bool web = low.rfind("http://", 0) == 0 || low.rfind("https://", 0) == 0;
    const std::string shown =
        web ? "<a href=\"" + HtmlPage::escape(address) + "\">" + HtmlPage::escape(address) + "</a>"
            : HtmlPage::escape(address);
    const std::string body = "<div class=\"card\"><h1>事务提醒</h1><p>该提醒指向外部地址：</p><p>" +
                             shown + "</p></div>";
    HttpSupport::html(res, HtmlPage::document("事务提醒", body));
}

}  // namespace oa

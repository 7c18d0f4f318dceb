// TourAttachments: list pages, read pages and their attachment links.
#include "app/TourAttachments.h"

#include <QRegularExpression>
#include <QString>
#include <QUrl>
#include <QUrlQuery>
#include <nlohmann/json.hpp>
#include <vector>

#include "core/transport/ASIFormDataRequest.h"

namespace oa {

namespace {

// Items per list page of the server.
constexpr int kPageSize = 10;
constexpr int kPagesScanned = 3;

struct ListItem {
    std::string id;
    std::string subject;
};

std::vector<ListItem> listPage(const std::string& oa, const std::string& session,
                               const std::string& module, int skip) {
    auto request = ASIFormDataRequest::requestWithURL(oa + "/mobile/" + module + "/data.php");
    request->setPostValue("ATYPE", "refreshList");
    request->setPostValue("A", skip == 0 ? "loadList" : "getMore");
    if (skip > 0) {
        request->setPostValue("CURRITERMS", std::to_string(skip));
    }
    request->setPostValue("P", session);
    request->startSynchronous();
    std::vector<ListItem> items;
    const auto reply = nlohmann::json::parse(request->responseString(), nullptr, false);
    if (!reply.is_array()) {
        return items;
    }
    for (const auto& item : reply) {
        if (!item.is_object() || !item.contains("q_id")) {
            continue;
        }
        const auto& id = item["q_id"];
        const auto subject = item.find("subject");
        items.push_back({id.is_string() ? id.get<std::string>() : id.dump(),
                         subject != item.end() && subject->is_string() ? subject->get<std::string>()
                                                                       : std::string()});
    }
    return items;
}

void collectLinks(const std::string& oa, const std::string& page, TourAttachments& found) {
    auto request = ASIHTTPRequest::requestWithURL(oa + page);
    request->setDefaultResponseEncoding("UTF-8");
    request->startSynchronous();
    static const QRegularExpression link(QStringLiteral(R"re(href="message:(\d):([^"]+)")re"));
    const QString html = QString::fromStdString(request->responseString());
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        QString path = match.captured(2);
        path.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const QString name =
            QUrlQuery(QUrl(path))
                .queryItemValue(QStringLiteral("ATTACHMENT_NAME"), QUrl::FullyDecoded);
        const TourAttachment attachment{match.captured(1).toInt(), oa + path.toStdString()};
        if (name == QStringLiteral("活动流程.png") && !found.picture.found()) {
            found.picture = attachment;
        } else if (name == QStringLiteral("团建合影.png") && !found.photo.found()) {
            found.photo = attachment;
        } else if (name.endsWith(QStringLiteral(".zip")) && !found.archive.found()) {
            found.archive = attachment;
        } else if (name.endsWith(QStringLiteral(".pdf")) && !found.pdf.found()) {
            found.pdf = attachment;
        }
    }
}

}  // namespace

TourAttachments findTourAttachments(const std::string& oa, const std::string& session) {
    // Only the read pages of the items that carry the attachments are opened: reading an item
    // marks it read.
    struct Source {
        const char* module;
        const char* idField;
        const char* subject;
    };
    const Source sources[] = {{"email", "EMAIL_ID", "端午团建活动照片和资料"},
                              {"notify", "NOTIFY_ID", "公司组织架构调整的决定"}};
    TourAttachments found;
    for (const Source& source : sources) {
        bool read = false;
        for (int page = 0; page < kPagesScanned && !read; ++page) {
            const auto items = listPage(oa, session, source.module, page * kPageSize);
            for (const ListItem& item : items) {
                if (item.subject != source.subject) {
                    continue;
                }
                collectLinks(
                    oa,
                    "/mobile/" + std::string(source.module) + "/read.php?P=" +
                        QUrl::toPercentEncoding(QString::fromStdString(session)).toStdString() +
                        "&" + source.idField + "=" + item.id,
                    found);
                read = true;
                break;
            }
            if (items.size() < static_cast<std::size_t>(kPageSize)) {
                break;
            }
        }
    }
    return found;
}

}  // namespace oa

// Detail parsing.
#include "core/protocol/JsonDetailOperation.h"

#include "core/protocol/JsonReply.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ReplyText.h"
#include "core/session/GlobalVar.h"

namespace oa {

namespace {

using nlohmann::json;

Text take(json& object, const char* key) {
    return JsonReply::take(object, key);
}

// The lists follow the id text: without ids there are no lists, whatever the names say.
template <class Record>
void splitAttachments(Record& vo) {
    if (!vo.attachment_id) {
        vo.attachment_id_arr.reset();
        vo.attachment_name_arr.reset();
        return;
    }
    vo.attachment_id_arr = splitKeepingEmpty(*vo.attachment_id, ',');
    if (vo.attachment_name) {
        vo.attachment_name_arr = splitKeepingEmpty(*vo.attachment_name, '*');
    } else {
        vo.attachment_name_arr.reset();
    }
}

// The server writes image sources relative to its root; the detail web view needs them absolute.
void rewriteContent(Text& content) {
    if (!content) {
        return;
    }
    Text base = GlobalVar::getInstance_global().oa();
    if (!base) {
        return;
    }
    *content = rewriteImageSources(*content, *base);
}

}  // namespace

JsonDetailOperation& JsonDetailOperation::getInstance_detail() {
    static JsonDetailOperation instance;
    return instance;
}

std::shared_ptr<BaseVO> JsonDetailOperation::splitString(const Reply& reply,
                                                         std::string_view type) const {
    if (reply && reply->empty()) {
        return std::make_shared<BaseVO>();
    }
    std::optional<DetailParserKind> parser = ModuleCatalogue::detailParser(type);
    if (!parser) {
        return nullptr;
    }
    switch (*parser) {
        case DetailParserKind::emailDetail:
            return emailDetail(reply);
        case DetailParserKind::notifyDetail:
            return notifyDetail(reply);
        case DetailParserKind::newsDetail:
            return newsDetail(reply);
        case DetailParserKind::DiaryDetail:
            return DiaryDetail(reply);
        case DetailParserKind::fileDetail:
            return fileDetail(reply);
    }
    return nullptr;
}

std::shared_ptr<EmailDetailVO> JsonDetailOperation::emailDetail(const Reply& reply) const {
    auto vo = std::make_shared<EmailDetailVO>();
    json o = JsonReply::parse(reply);
    vo->q_id = take(o, "q_id");
    vo->from_uid = take(o, "from_uid");
    vo->from_user_id = take(o, "from_user_id");
    vo->is_webmail = take(o, "is_webmail");
    vo->content = take(o, "content");
    vo->has_attachment = take(o, "has_attachment");
    vo->attachment_id = take(o, "attachment_id");
    vo->attachment_name = take(o, "attachment_name");
    rewriteContent(vo->content);
    splitAttachments(*vo);
    return vo;
}

std::shared_ptr<NotifyDetailVO> JsonDetailOperation::notifyDetail(const Reply& reply) const {
    auto vo = std::make_shared<NotifyDetailVO>();
    json o = JsonReply::parse(reply);
    vo->q_id = take(o, "q_id");
    vo->type_name = take(o, "type_name");
    vo->from_name = take(o, "from_name");
    vo->send_time = take(o, "send_time");
    vo->subject = take(o, "subject");
    vo->subject_color = take(o, "subject_color");
    vo->begin_date = take(o, "begin_date");
    vo->content = take(o, "content");
    vo->has_attachment = take(o, "has_attachment");
    vo->attachment_id = take(o, "attachment_id");
    vo->attachment_name = take(o, "attachment_name");
    rewriteContent(vo->content);
    splitAttachments(*vo);
    return vo;
}

std::shared_ptr<NewsDetailVO> JsonDetailOperation::newsDetail(const Reply& reply) const {
    auto vo = std::make_shared<NewsDetailVO>();
    json o = JsonReply::parse(reply);
    vo->send_time = take(o, "send_time");
    vo->content = take(o, "content");
    vo->click_count = take(o, "click_count");
    vo->has_attachment = take(o, "has_attachment");
    vo->attachment_id = take(o, "attachment_id");
    vo->attachment_name = take(o, "attachment_name");
    splitAttachments(*vo);
    return vo;
}

std::shared_ptr<DiaryDetailVO> JsonDetailOperation::DiaryDetail(const Reply& reply) const {
    auto vo = std::make_shared<DiaryDetailVO>();
    json o = JsonReply::parse(reply);
    vo->q_id = take(o, "q_id");
    vo->subject = take(o, "subject");
    vo->dia_type_desc = take(o, "dia_type_desc");
    vo->dia_date = take(o, "dia_date");
    vo->dia_time = take(o, "dia_time");
    vo->content = take(o, "content");
    vo->editable = take(o, "editable");
    vo->has_attachment = take(o, "has_attachment");
    vo->attachment_id = take(o, "attachment_id");
    vo->attachment_name = take(o, "attachment_name");
    rewriteContent(vo->content);
    splitAttachments(*vo);
    return vo;
}

std::shared_ptr<FileDetailVO> JsonDetailOperation::fileDetail(const Reply& reply) const {
    auto vo = std::make_shared<FileDetailVO>();
    json doc = JsonReply::parse(reply);
    if (!doc.is_array()) {
        return vo;
    }
    // Each element is filled in full over the previous one, so the record shows the last.
    for (json& o : doc) {
        vo->q_id = take(o, "q_id");
        vo->subject = take(o, "subject");
        vo->send_time = take(o, "send_time");
        vo->content = take(o, "content");
        vo->has_attachment = take(o, "has_attachment");
        vo->attachment_id = take(o, "attachment_id");
        vo->attachment_name = take(o, "attachment_name");
        splitAttachments(*vo);
    }
    return vo;
}

}  // namespace oa

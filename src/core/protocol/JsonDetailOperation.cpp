// Detail parsing.
#include "core/protocol/JsonDetailOperation.h"

#include "core/protocol/JsonReply.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ReplyText.h"
#include "core/session/GlobalVar.h"

namespace oa {

namespace {

using nlohmann::json;

// The lists follow the id text: without ids there are no lists, whatever the names say.
void splitAttachments(Attachments& vo) {
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
template <class Record>
std::shared_ptr<Record> withAbsoluteImages(std::shared_ptr<Record> vo) {
    if (!vo->content) {
        return vo;
    }
    Text base = GlobalVar::getInstance_global().oa();
    if (base) {
        *vo->content = rewriteImageSources(*vo->content, *base);
    }
    return vo;
}

// The record's fields from one object of the reply, the attachment lists cut from them.
template <class Record>
void readDetail(Record& vo, json& object) {
    static constexpr auto fields = Record::fields();
    static_assert(distinctFields(fields));
    JsonReply::takeFields(object, vo, fields);
    splitAttachments(vo);
}

template <class Record>
std::shared_ptr<Record> parseDetail(const std::optional<std::string>& reply) {
    auto vo = std::make_shared<Record>();
    json o = JsonReply::parse(reply);
    readDetail(*vo, o);
    return vo;
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
    return withAbsoluteImages(parseDetail<EmailDetailVO>(reply));
}

std::shared_ptr<NotifyDetailVO> JsonDetailOperation::notifyDetail(const Reply& reply) const {
    return withAbsoluteImages(parseDetail<NotifyDetailVO>(reply));
}

std::shared_ptr<NewsDetailVO> JsonDetailOperation::newsDetail(const Reply& reply) const {
    return parseDetail<NewsDetailVO>(reply);
}

std::shared_ptr<DiaryDetailVO> JsonDetailOperation::DiaryDetail(const Reply& reply) const {
    return withAbsoluteImages(parseDetail<DiaryDetailVO>(reply));
}

std::shared_ptr<FileDetailVO> JsonDetailOperation::fileDetail(const Reply& reply) const {
    auto vo = std::make_shared<FileDetailVO>();
    json doc = JsonReply::parse(reply);
    if (!doc.is_array()) {
        return vo;
    }
    // Each element is filled in full over the previous one, so the record shows the last.
    for (json& o : doc) {
        readDetail(*vo, o);
    }
    return vo;
}

}  // namespace oa

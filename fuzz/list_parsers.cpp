// Fuzz target: any bytes as the reply of a list, counter, reminder, message or person-search
// request, through every parser of JsonOperation (and the person search's) and every module key.
// Nothing may crash or throw, and the results must keep their invariants (record classes, the
// never-falling newest-item marker).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/protocol/JsonOperation.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ReplyText.h"
#include "core/protocol/UserBO.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool isEmptyPage(const std::string& reply) {
    return reply == "NOMOREDATA" || reply == "NONEWDATA";
}

template <class Record>
bool allOf(const oa::RecordList& list) {
    return std::all_of(list.begin(), list.end(), [](const auto& record) {
        return record != nullptr && typeid(*record) == typeid(Record);
    });
}

bool hasModuleClass(oa::ListParserKind kind, const oa::RecordList& list) {
    switch (kind) {
        case oa::ListParserKind::email:
            return allOf<oa::EmailVO>(list);
        case oa::ListParserKind::notify:
            return allOf<oa::NotifyVO>(list);
        case oa::ListParserKind::news:
            return allOf<oa::NewsVO>(list);
        case oa::ListParserKind::calendar:
            return allOf<oa::CalendarVO>(list);
        case oa::ListParserKind::diary:
            return allOf<oa::DiaryVO>(list);
        case oa::ListParserKind::file:
            return allOf<oa::FileVO>(list);
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oa;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    JsonOperation parser;

    std::vector<std::string> keys = ModuleCatalogue::keys();
    keys.emplace_back("unknown");
    for (const std::string& key : keys) {
        std::optional<std::string> before = parser.firstID(key);
        std::optional<RecordList> list = parser.splitString(reply, key);
        std::optional<ListParserKind> kind = ModuleCatalogue::listParser(key);
        require(list.has_value() == (kind.has_value() || isEmptyPage(reply)));
        if (!list) {
            continue;
        }
        require(!isEmptyPage(reply) || list->empty());
        require(!kind || hasModuleClass(*kind, *list));
        std::optional<std::string> after = parser.firstID(key);
        if (before) {
            require(after && integerValue(*after) >= integerValue(*before));
        }
        if (!list->empty() && list->front()->q_id && integerValue(*list->front()->q_id) > 0) {
            require(after && integerValue(*after) >= integerValue(*list->front()->q_id));
        }
    }
    // The parsers called directly, with and without a transfer.
    parser.notify(reply);
    parser.email(reply);
    parser.news(reply);
    parser.calendar(reply);
    parser.diary(std::nullopt);
    parser.file(reply, "public_folder");

    parser.getModuleDic(reply);
    parser.getModuleDic(std::nullopt);
    for (const auto& sms : parser.getSmsList(reply)) {
        require(sms != nullptr);
    }
    for (const auto& person : oa::UserBO::userList(reply)) {
        require(person != nullptr);
    }
    // Cleaning only makes JSON of what is not: a reply that parses means the same once cleaned.
    const std::string cleaned = cleanDialogReply(reply);
    const auto raw = nlohmann::json::parse(reply, nullptr, false);
    if (!raw.is_discarded()) {
        require(nlohmann::json::parse(cleaned, nullptr, false) == raw);
    }
    for (const auto& conversation : parser.getMessageList(cleaned)) {
        require(conversation != nullptr);
    }
    parser.getMessageList(reply);
    for (const auto& message : parser.getMessageDetail(reply)) {
        require(message != nullptr);
    }
    std::shared_ptr<MessageDetailVO> single = parser.getSignleDetail(reply);
    require(single != nullptr && !single->isvoicemsg && !single->duration);
    return 0;
}

// The parser of list, counter, reminder and message replies. One shared instance serves the module
// lists and remembers, per module, the newest item id it has seen; other callers may use fresh
// instances. Every operation turns any reply, also no reply or garbage, into a result.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/BaseVO.h"
#include "core/protocol/ListRecords.h"
#include "core/protocol/MessageRecords.h"

namespace oa {

class JsonOperation {
public:
    // A reply text, absent when the transfer failed.
    using Reply = std::optional<std::string>;
    // Module key to counter text.
    using CounterDic = std::map<std::string, std::string>;

    JsonOperation() = default;
    JsonOperation(const JsonOperation&) = delete;
    JsonOperation& operator=(const JsonOperation&) = delete;

    // The instance the module lists share, created on first use and kept for the whole run.
    static JsonOperation& getInstance_json();

    // The list of the module `type`: empty for the empty-page texts "NOMOREDATA" and
    // "NONEWDATA", absent for a key that has no list parser.
    std::optional<RecordList> splitString(const Reply& reply, std::string_view type);

    // The module list parsers. Records come in reply order; the first one may raise firstID of
    // the module `type`.
    RecordList notify(const Reply& reply, std::string_view type = "notify");
    RecordList email(const Reply& reply, std::string_view type = "email");
    RecordList news(const Reply& reply, std::string_view type = "news");
    RecordList calendar(const Reply& reply, std::string_view type = "calendar");
    RecordList diary(const Reply& reply, std::string_view type = "diary");
    RecordList file(const Reply& reply, std::string_view type = "file_folder");

    // The counters of the last element of the reply's "module" array.
    CounterDic getModuleDic(const Reply& reply) const;
    std::vector<std::shared_ptr<SmsVO>> getSmsList(const Reply& reply) const;
    // Expects the reply already cleaned with cleanDialogReply (ReplyText.h). The message parsers
    // decode the HTML references of each "content" (HtmlReferences.h).
    std::vector<std::shared_ptr<MessageListVO>> getMessageList(const Reply& reply) const;
    // Cleans the reply itself before parsing.
    std::vector<std::shared_ptr<MessageDetailVO>> getMessageDetail(const Reply& reply) const;
    // The newest single message, without the voice fields; never null.
    std::shared_ptr<MessageDetailVO> getSignleDetail(const Reply& reply) const;

    // Reads the sign-in reply into the session state and posts "loginResult"
    // (JsonOperationLogin.cpp).
    void splitLogin(const Reply& reply);

    // The newest item id seen at the head of the module's list; absent until a list of that
    // module was parsed. It only ever rises.
    std::optional<std::string> firstID(std::string_view type) const;

private:
    template <class Record>
    RecordList parseList(const Reply& reply, std::string_view type);
    void raiseFirstID(std::string_view type, const Text& q_id);

    // Loaders of different module lists run at the same time on the shared instance.
    mutable std::mutex mutex_;
    std::map<std::string, std::string, std::less<>> firstIDs_;  // Guarded by mutex_.
};

}  // namespace oa

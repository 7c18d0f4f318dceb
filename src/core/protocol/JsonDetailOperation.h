// The parser of detail replies: one item of e-mail, notices, news, diaries or a file cabinet
// becomes its detail record, with the attachment lists cut out of the joined texts.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/protocol/BaseVO.h"
#include "core/protocol/DetailRecords.h"

namespace oa {

class JsonDetailOperation {
public:
    // A reply text, absent when the transfer failed.
    using Reply = std::optional<std::string>;

    // A shared instance; the parser keeps no state, so fresh instances behave the same.
    static JsonDetailOperation& getInstance_detail();

    // The detail record of the module `type`. An empty reply gives a plain BaseVO with every
    // field absent (the caller then skips the attachment requests); a failed transfer gives the
    // module's record with every field absent; a key without a detail parser gives null.
    std::shared_ptr<BaseVO> splitString(const Reply& reply, std::string_view type) const;

    // Image sources in the content of these three are made absolute with the server address.
    std::shared_ptr<EmailDetailVO> emailDetail(const Reply& reply) const;
    std::shared_ptr<NotifyDetailVO> notifyDetail(const Reply& reply) const;
    std::shared_ptr<DiaryDetailVO> DiaryDetail(const Reply& reply) const;

    // Content kept as sent.
    std::shared_ptr<NewsDetailVO> newsDetail(const Reply& reply) const;
    // The server answers with an array; the record shows its last element.
    std::shared_ptr<FileDetailVO> fileDetail(const Reply& reply) const;
};

}  // namespace oa

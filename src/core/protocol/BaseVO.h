// The root of the server records: the item id, plus the text types every record field uses.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace oa {

// A value as the server sent it; absent when the reply lacks the key or holds null there.
using Text = std::optional<std::string>;
// A list the parser cut out of a joined text (attachment ids and names).
using TextList = std::optional<std::vector<std::string>>;

struct BaseVO {
    BaseVO() = default;
    BaseVO(const BaseVO&) = default;
    BaseVO(BaseVO&&) = default;
    BaseVO& operator=(const BaseVO&) = default;
    BaseVO& operator=(BaseVO&&) = default;
    virtual ~BaseVO() = default;

    bool operator==(const BaseVO&) const = default;

    Text q_id;
};

using RecordList = std::vector<std::shared_ptr<BaseVO>>;

}  // namespace oa

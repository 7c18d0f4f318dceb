// The module logic of the news module: a detail comes with the links of its attachments.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"

namespace oa {

class NewsBO : public BaseBO {
public:
    explicit NewsBO(std::string func_type = "news") : BaseBO(std::move(func_type)) {}

    // The detail, with the reply of one attachment request per attachment appended to its
    // content.
    std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId) override;
};

}  // namespace oa

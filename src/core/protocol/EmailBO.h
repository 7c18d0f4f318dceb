// The module logic of the e-mail module: a detail comes with the links of its attachments.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"
#include "core/protocol/SaveRecords.h"
#include "core/protocol/SubmitVerdict.h"

namespace oa {

class EmailBO : public BaseBO {
public:
    explicit EmailBO(std::string func_type = "email") : BaseBO(std::move(func_type)) {}

    // The detail, with the reply of one attachment request per attachment appended to its
    // content.
    std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId) override;

    // Submits a new e-mail (FunHttpRequest::saveEmailInfo).
    SubmitVerdict saveEmail(const EmailSaveVO& record) const;
};

}  // namespace oa

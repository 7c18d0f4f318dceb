// The module logic of the work-diary module: a detail comes with the links of its attachments.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"
#include "core/protocol/SaveRecords.h"
#include "core/protocol/SubmitVerdict.h"

namespace oa {

class DiaryBO : public BaseBO {
public:
    explicit DiaryBO(std::string func_type = "diary") : BaseBO(std::move(func_type)) {}

    // The detail, with the reply of one attachment request per attachment appended to its
    // content.
    std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId) override;

    // Submits a new diary entry (FunHttpRequest::saveDiaryInfo).
    SubmitVerdict saveDiary(const DiarySaveVO& record) const;
};

}  // namespace oa

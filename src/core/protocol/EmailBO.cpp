// EmailBO: details with their attachment links.
#include "core/protocol/EmailBO.h"

#include "core/protocol/DetailRecords.h"
#include "core/protocol/FunHttpRequest.h"

namespace oa {

std::shared_ptr<BaseVO> EmailBO::getDetailInfo(const Text& itemId) {
    return withAttachmentLinks<EmailDetailVO>(BaseBO::getDetailInfo(itemId));
}

SubmitVerdict EmailBO::saveEmail(const EmailSaveVO& record) const {
    return FunHttpRequest().saveEmailInfo(record);
}

}  // namespace oa

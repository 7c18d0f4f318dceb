// NotifyBO: details with their attachment links.
#include "core/protocol/NotifyBO.h"

#include "core/protocol/DetailRecords.h"

namespace oa {

std::shared_ptr<BaseVO> NotifyBO::getDetailInfo(const Text& itemId) {
    return withAttachmentLinks<NotifyDetailVO>(BaseBO::getDetailInfo(itemId));
}

}  // namespace oa

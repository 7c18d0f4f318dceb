// NewsBO: details with their attachment links.
#include "core/protocol/NewsBO.h"

#include "core/protocol/DetailRecords.h"

namespace oa {

std::shared_ptr<BaseVO> NewsBO::getDetailInfo(const Text& itemId) {
    return withAttachmentLinks<NewsDetailVO>(BaseBO::getDetailInfo(itemId));
}

}  // namespace oa

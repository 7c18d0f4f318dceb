// DiaryBO: details with their attachment links.
#include "core/protocol/DiaryBO.h"

#include "core/protocol/DetailRecords.h"

namespace oa {

std::shared_ptr<BaseVO> DiaryBO::getDetailInfo(const Text& itemId) {
    return withAttachmentLinks<DiaryDetailVO>(BaseBO::getDetailInfo(itemId));
}

}  // namespace oa

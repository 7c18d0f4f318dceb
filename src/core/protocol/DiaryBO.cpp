// DiaryBO: details with their attachment links.
#include "core/protocol/DiaryBO.h"

#include "core/protocol/DetailRecords.h"
#include "core/protocol/FunHttpRequest.h"

namespace oa {

std::shared_ptr<BaseVO> DiaryBO::getDetailInfo(const Text& itemId) {
    return withAttachmentLinks<DiaryDetailVO>(BaseBO::getDetailInfo(itemId));
}

SubmitVerdict DiaryBO::saveDiary(const DiarySaveVO& record) const {
    return FunHttpRequest().saveDiaryInfo(record);
}

}  // namespace oa

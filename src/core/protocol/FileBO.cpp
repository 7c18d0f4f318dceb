// FileBO: cabinet details and folder listings.
#include "core/protocol/FileBO.h"

#include "core/protocol/DetailRecords.h"
#include "core/protocol/JsonOperation.h"

namespace oa {

std::shared_ptr<BaseVO> FileBO::getDetailInfo(const Text& itemId) {
    return withAttachmentLinks<FileDetailVO>(BaseBO::getDetailInfo(itemId));
}

std::optional<RecordList> FileBO::getFolderList(const Text& folderId) {
    HttpRequest request;
    if (func_type() == "public_folder") {
        request.tag_Public_floder = true;
    } else if (func_type() != "file_folder") {
        return std::nullopt;
    }
    const Reply reply =
        request.getDetail(folderId, "/mobile/file_folder/data.php", "getListContent");
    // A parser of its own: folder ids must not raise the newest id of the cabinet's list.
    JsonOperation parser;
    return parser.file(reply, func_type());
}

}  // namespace oa

// The module logic of both file cabinets ("file_folder", "public_folder"): details with their
// attachment links, and the content of one folder.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"

namespace oa {

class FileBO : public BaseBO {
public:
    explicit FileBO(std::string func_type = "file_folder") : BaseBO(std::move(func_type)) {}

    std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId) override;

    // The entries of one folder, in reply order; the public cabinet names the folder as "P_ID",
    // the personal one as "Q_ID". Absent for any other module (nothing is sent).
    std::optional<RecordList> getFolderList(const Text& folderId);
};

}  // namespace oa

// FileView: a file cabinet row and its type icons.
#include "ui/controller/main/FileView.h"

#include <initializer_list>
#include <string_view>

#include "ui/controller/main/FuncListLogic.h"

namespace oa {

namespace {

bool extensionIn(const Text& ext, std::initializer_list<std::string_view> names) {
    if (!ext) {
        return false;
    }
    for (std::string_view name : names) {
        if (*ext == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString FileView::iconName(const FileVO& file) {
    if (FuncListLogic::isBackRow(file)) {
        return QStringLiteral("folder_up_64");
    }
    if (file.file_type == "folder" && file.file_ext == "") {
        return QStringLiteral("folder_64");
    }
    if (extensionIn(file.file_ext, {"doc", "docx"})) {
        return QStringLiteral("file_word_64");
    }
    if (extensionIn(file.file_ext, {"xls", "xlsx"})) {
        return QStringLiteral("file_excel_64");
    }
    if (extensionIn(file.file_ext, {"ppt", "pptx"})) {
        return QStringLiteral("file_powerpoint_64");
    }
    if (extensionIn(file.file_ext, {"pdf"})) {
        return QStringLiteral("file_pdf_64");
    }
    if (extensionIn(file.file_ext, {"jpg", "jpeg", "png", "gif"})) {
        return QStringLiteral("file_image_64");
    }
    return QStringLiteral("file_64");
}

void FileView::createView(const std::shared_ptr<BaseVO>& record) {
    clearView();
    auto file = std::dynamic_pointer_cast<FileVO>(record);
    if (!file) {
        return;
    }
    setQ_id(file->q_id);

    addImage(iconName(*file), {15, 5, 50, 50});
    addLabel("name", {75, 8, kTextRight - 75, 20}, 16, Qt::black, file->name);
    addLabel("send_time", {75, 35, kTextRight - 75, 20}, 12, grey(), file->send_time);
    addAttachmentMark(file->has_attachment);
}

}  // namespace oa

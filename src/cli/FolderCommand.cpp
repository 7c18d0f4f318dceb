// oa-cli folder: the entries of one folder of a file cabinet.
#include <iostream>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/FileBO.h"
#include "core/protocol/ModuleLogicFactory.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "KEY FOLDER_ID SESSION-OPTIONS\n"
    "      The entries of folder FOLDER_ID of the cabinet KEY (file_folder or public_folder), one\n"
    "      JSON object each, in reply order.";

int run(const Args& args) {
    SessionOptions session("folder", args);
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != 2) {
        return session.fail(std::string("usage: oa-cli folder ") + kUsage);
    }
    const std::string& key = positional[0];
    auto cabinet = std::dynamic_pointer_cast<FileBO>(ModuleLogicFactory::createListLogic(key));
    if (!cabinet || (key != "file_folder" && key != "public_folder")) {
        return session.fail("\"" + key + "\" is not a file cabinet (file_folder, public_folder)");
    }
    if (int code = session.signIn()) {
        return code;
    }
    const auto records = cabinet->getFolderList(positional[1]);
    if (!records) {
        return session.fail("no folder list for \"" + key + "\"");
    }
    if (int code = session.checkExchange()) {
        return code;
    }
    printRecords(*records);
    std::cerr << records->size() << " entries\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("folder", kUsage, run);

}  // namespace oa::cli

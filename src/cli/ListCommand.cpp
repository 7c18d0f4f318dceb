// oa-cli list: one page of a module list, as the list screen asks for it.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/ModuleLogicFactory.h"
#include "core/protocol/ReplyText.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "KEY [--new LATEST_ID | --more COUNT] [--share] SESSION-OPTIONS\n"
    "      The first page of module KEY (email, notify, news, workflow, calendar, diary,\n"
    "      file_folder, public_folder, ...), newest item last; --new asks for items newer than\n"
    "      LATEST_ID (newest last), --more for those after the COUNT items a list holds (in reply\n"
    "      order); --share lists the shared diaries. Prints one JSON object per item, then the\n"
    "      newest item id seen (firstID) on stderr.";

bool isCount(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

int run(const Args& args) {
    SessionOptions session("list", args);
    std::string latestId;
    std::string count;
    const bool newer = session.takeOption("--new", latestId);
    const bool older = session.takeOption("--more", count);
    const bool share = session.takeFlag("--share");
    Args positional;
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != 1) {
        return session.fail(std::string("usage: oa-cli list ") + kUsage);
    }
    if (newer && older) {
        return session.fail("--new and --more exclude each other");
    }
    if (older && !isCount(count)) {
        return session.fail("--more needs a count of items, not \"" + count + "\"");
    }
    const std::string& key = positional[0];
    auto logic = ModuleLogicFactory::createListLogic(key);
    if (!logic || !logic->getUrlStr()) {
        return session.fail("\"" + key + "\" has no module list");
    }
    logic->setIsDiary(share);
    if (int code = session.signIn()) {
        return code;
    }
    const auto records = newer   ? logic->getNewList(latestId)
                         : older ? logic->getMoreList(integerValue(count))
                                 : logic->getList();
    if (!records) {
        return session.fail("\"" + key + "\" has no list parser");
    }
    if (int code = session.checkExchange()) {
        return code;
    }
    printRecords(*records);
    std::cerr << records->size() << " items; firstID " << logic->firstID().value_or("(absent)")
              << "\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("list", kUsage, run);

}  // namespace oa::cli

// NewestItem: one list request through the module's own list logic.
#include "ui/controller/main/NewestItem.h"

#include "core/protocol/ListRecords.h"
#include "core/protocol/ModuleLogicFactory.h"

namespace oa {

namespace {

template <class Record>
const Text* field(const BaseVO& record, Text Record::*member) {
    const auto* found = dynamic_cast<const Record*>(&record);
    return found ? &(found->*member) : nullptr;
}

}  // namespace

std::string newestItemLine(const std::string& module) {
    const auto logic = ModuleLogicFactory::createListLogic(module);
    if (!logic) {
        return {};
    }
    const auto records = logic->getList();
    // The first page comes newest last.
    if (!records || records->empty() || !records->back()) {
        return {};
    }
    const BaseVO& newest = *records->back();
    for (const Text* text : {field(newest, &EmailVO::subject), field(newest, &NotifyVO::subject),
                             field(newest, &NewsVO::subject), field(newest, &DiaryVO::subject),
                             field(newest, &CalendarVO::content)}) {
        if (text && text->has_value()) {
            return **text;
        }
    }
    return {};
}

}  // namespace oa

// The module-logic objects by module key: one factory for the list-logic column of the module
// catalogue, one for the detail-logic column, both instantiating the class the column names.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/protocol/BaseBO.h"

namespace oa {

class ModuleLogicFactory {
public:
    // Makes an object of one logic class for a module key.
    using Creator = std::function<std::shared_ptr<BaseBO>(std::string func_type)>;

    // The list logic of `key` (EmailBO for "email", FileBO for both cabinets, BaseBO for
    // "workflow", ...); null for a key outside the catalogue or whose class is not registered.
    static std::shared_ptr<BaseBO> createListLogic(std::string_view key);
    // The detail logic of `key`, likewise.
    static std::shared_ptr<BaseBO> createDetailLogic(std::string_view key);

    // An object of the class `className` for `key`; null when no such class is registered.
    static std::shared_ptr<BaseBO> create(std::string_view className, std::string_view key);
    // Makes `className` known, replacing an earlier creator of that name. Every logic class of
    // this folder, the lookups' included, is known from the start (a static library drops
    // objects that would register themselves). Safe from any thread.
    static void registerClass(std::string className, Creator creator);
};

}  // namespace oa

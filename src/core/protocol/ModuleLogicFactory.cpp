// The registry of module-logic classes behind the two factories.
#include "core/protocol/ModuleLogicFactory.h"

#include <map>
#include <mutex>

#include "core/protocol/AddressBO.h"
#include "core/protocol/CalendarBO.h"
#include "core/protocol/DiaryBO.h"
#include "core/protocol/EmailBO.h"
#include "core/protocol/FileBO.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/NewsBO.h"
#include "core/protocol/NotifyBO.h"
#include "core/protocol/TelNoBO.h"
#include "core/protocol/UserBO.h"
#include "core/protocol/WeatherBO.h"

namespace oa {
namespace {

template <class Logic>
ModuleLogicFactory::Creator creatorOf() {
    return [](std::string func_type) { return std::make_shared<Logic>(std::move(func_type)); };
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, ModuleLogicFactory::Creator, std::less<>> creators;  // Guarded.

    Registry()
        : creators{{"BaseBO", creatorOf<BaseBO>()},      {"EmailBO", creatorOf<EmailBO>()},
                   {"NotifyBO", creatorOf<NotifyBO>()},  {"NewsBO", creatorOf<NewsBO>()},
                   {"DiaryBO", creatorOf<DiaryBO>()},    {"CalendarBO", creatorOf<CalendarBO>()},
                   {"FileBO", creatorOf<FileBO>()},      {"AddressBO", creatorOf<AddressBO>()},
                   {"TelNoBO", creatorOf<TelNoBO>()},    {"UserBO", creatorOf<UserBO>()},
                   {"WeatherBO", creatorOf<WeatherBO>()}} {}
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

std::shared_ptr<BaseBO> ModuleLogicFactory::create(std::string_view className,
                                                   std::string_view key) {
    Creator creator;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.creators.find(className);
        if (it == r.creators.end()) {
            return nullptr;
        }
        creator = it->second;
    }
    return creator(std::string(key));
}

void ModuleLogicFactory::registerClass(std::string className, Creator creator) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.creators.insert_or_assign(std::move(className), std::move(creator));
}

std::shared_ptr<BaseBO> ModuleLogicFactory::createListLogic(std::string_view key) {
    const auto className = ModuleCatalogue::listLogicClass(key);
    return className ? create(*className, key) : nullptr;
}

std::shared_ptr<BaseBO> ModuleLogicFactory::createDetailLogic(std::string_view key) {
    const auto className = ModuleCatalogue::detailLogicClass(key);
    return className ? create(*className, key) : nullptr;
}

}  // namespace oa

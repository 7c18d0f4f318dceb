// RowViewFactory: the table of row view classes.
#include "ui/controller/main/RowViewFactory.h"

#include <map>

#include "core/protocol/ModuleCatalogue.h"
#include "ui/controller/main/CalendarView.h"
#include "ui/controller/main/DiaryView.h"
#include "ui/controller/main/EmailView.h"
#include "ui/controller/main/FileView.h"
#include "ui/controller/main/NewsView.h"
#include "ui/controller/main/NotifyView.h"

namespace oa {

namespace {

template <class View>
RowViewFactory::Creator creator() {
    return [] { return std::make_unique<View>(); };
}

std::map<std::string, RowViewFactory::Creator, std::less<>>& creators() {
    static std::map<std::string, RowViewFactory::Creator, std::less<>> table{
        {"BaseView", creator<BaseView>()},         {"NotifyView", creator<NotifyView>()},
        {"EmailView", creator<EmailView>()},       {"NewsView", creator<NewsView>()},
        {"CalendarView", creator<CalendarView>()}, {"DiaryView", creator<DiaryView>()},
        {"FileView", creator<FileView>()},
    };
    return table;
}

}  // namespace

std::unique_ptr<BaseView> RowViewFactory::create(std::string_view className) {
    const auto& table = creators();
    const auto it = table.find(className);
    return it == table.end() || !it->second ? nullptr : it->second();
}

std::unique_ptr<BaseView> RowViewFactory::createForModule(std::string_view key) {
    const std::optional<std::string> className = ModuleCatalogue::listViewClass(key);
    return className ? create(*className) : nullptr;
}

void RowViewFactory::registerClass(std::string className, Creator creator) {
    creators()[std::move(className)] = std::move(creator);
}

}  // namespace oa

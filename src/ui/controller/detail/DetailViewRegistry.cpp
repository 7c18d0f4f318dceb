// DetailViewRegistry: the views by module key.
#include "ui/controller/detail/DetailViewRegistry.h"

#include <map>

#include "ui/controller/detail/CalendarDetailView.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/lookup/AddressDetailView.h"
#include "ui/controller/lookup/TelNoDetailView.h"
#include "ui/controller/lookup/UserDetailView.h"
#include "ui/controller/lookup/WeatherDetailView.h"

namespace oa {

namespace {

using Creators = std::map<std::string, DetailViewRegistry::Creator, std::less<>>;

DetailViewRegistry::Creator webPage(WebDetailView::Kind kind) {
    return [kind] { return new WebDetailView(kind); };
}

// Main thread only.
Creators& creators() {
    static Creators table = {
        {"email", webPage(WebDetailView::Kind::Email)},
        {"notify", webPage(WebDetailView::Kind::Notify)},
        {"news", webPage(WebDetailView::Kind::News)},
        {"diary", webPage(WebDetailView::Kind::Diary)},
        {"file_folder", webPage(WebDetailView::Kind::File)},
        {"public_folder", webPage(WebDetailView::Kind::File)},
        {"calendar", [] { return new CalendarDetailView; }},
        {"address", [] { return new AddressDetailView; }},
        {"tel_no", [] { return new TelNoDetailView; }},
        {"user", [] { return new UserDetailView; }},
        {"weather", [] { return new WeatherDetailView; }},
    };
    return table;
}

}  // namespace

DetailView* DetailViewRegistry::create(std::string_view key) {
    const Creators& table = creators();
    const auto found = table.find(key);
    return found == table.end() ? nullptr : found->second();
}

void DetailViewRegistry::registerView(std::string key, Creator creator) {
    creators()[std::move(key)] = std::move(creator);
}

}  // namespace oa

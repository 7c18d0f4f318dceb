// The module catalogue table and its lookups.
#include "core/protocol/ModuleCatalogue.h"

#include <algorithm>
#include <array>

#include "core/protocol/ReplyText.h"

namespace oa {

namespace {

// An empty view marks a column the module leaves empty; no real value is empty.
struct Module {
    std::string_view key;
    std::string_view listPage;
    bool publicList;
    std::optional<ListParserKind> listParser;
    std::string_view detailType;
    std::optional<DetailParserKind> detailParser;
    std::string_view readPage;
    std::string_view readItemParameter;
    std::string_view webPageFormat;
    std::string_view homeTitle;
    std::string_view homeIcon;
    int badgeTag;
    ScreenKind screen;
    std::string_view listLogic;
    std::string_view listView;
    std::string_view detailLogic;
    std::string_view detailView;
    std::string_view composeTitle;
};

using L = ListParserKind;
using D = DetailParserKind;
using S = ScreenKind;

// clang-format off
const std::array<Module, 12> kModules = {{
    {"email", "/mobile/email/data.php", false, L::email, "getEmailContent", D::emailDetail,
     "/mobile/email/read.php", "EMAIL_ID", "", "电子邮件", "email", 1005, S::moduleList,
     "EmailBO", "EmailView", "EmailBO", "EmailDetailView", "写邮件"},
    {"notify", "/mobile/notify/data.php", false, L::notify, "getNotifyContent", D::notifyDetail,
     "/mobile/notify/read.php", "NOTIFY_ID", "", "公告通知", "notify", 1006, S::moduleList,
     "NotifyBO", "NotifyView", "NotifyBO", "NotifyDetailView", ""},
    {"news", "/mobile/news/data.php", false, L::news, "getNewsContent", D::newsDetail,
     "/mobile/news/read.php", "NEWS_ID", "", "内部新闻", "news", 1007, S::moduleList,
     "NewsBO", "NewsView", "NewsBO", "NewsDetailView", ""},
    {"workflow", "/mobile/notify/data.php", false, L::notify, "", std::nullopt,
     "", "", "%@/mobile/workflow/?P=%@", "工作流", "work", 1008, S::workflowPage,
     "BaseBO", "NotifyView", "BaseBO", "NotifyView", ""},
    {"calendar", "/mobile/calendar/data.php", false, L::calendar, "", std::nullopt,
     "", "", "", "日程安排", "calendar", 1009, S::moduleList,
     "CalendarBO", "CalendarView", "CalendarBO", "CalendarDetailView", "新建"},
    {"diary", "/mobile/diary/data.php", false, L::diary, "getDiaryContent", D::DiaryDetail,
     "/mobile/diary/read.php", "DIA_ID", "", "工作日志", "blog", 1010, S::moduleList,
     "DiaryBO", "DiaryView", "DiaryBO", "DiaryDetailView", "写日志"},
    {"file_folder", "/mobile/file_folder/data.php", false, L::file, "getFileContent", D::fileDetail,
     "/mobile/file_folder/read.php", "CONTENT_ID", "", "个人文件柜", "file", 1011, S::moduleList,
     "FileBO", "FileView", "FileBO", "FileDetailView", ""},
    {"public_folder", "/mobile/file_folder/data.php", true, L::file, "getFileContent", D::fileDetail,
     "/mobile/file_folder/read.php", "CONTENT_ID", "", "公共文件柜", "public_file", 101100,
     S::moduleList, "FileBO", "FileView", "FileBO", "FileDetailView", ""},
    {"address", "/mobile/notify/data.php", false, L::notify, "", std::nullopt,
     "", "", "", "通讯簿", "contact", 1012, S::lookupScreen,
     "AddressBO", "AddressView", "AddressBO", "AddressDetailView", ""},
    {"tel_no", "/mobile/notify/data.php", false, L::notify, "", std::nullopt,
     "", "", "", "区号邮编", "youbian", 1013, S::lookupScreen,
     "TelNoBO", "TelNoView", "TelNoBO", "TelNoDetailView", ""},
    {"user", "", false, std::nullopt, "", std::nullopt,
     "", "", "", "人员查询", "hr", 1014, S::lookupScreen,
     "UserBO", "UserView", "UserBO", "UserDetailView", ""},
    {"weather", "", false, std::nullopt, "", std::nullopt,
     "", "", "", "天气预报", "weather", 1015, S::lookupScreen,
     "WeatherBO", "WeatherView", "WeatherBO", "WeatherDetailView", ""},
}};

struct Reminder {
    long long smsType;
    std::string_view key;
};

const std::array<Reminder, 8> kReminders = {{
    {1, "notify"},
    {2, "email"},
    {5, "calendar"},
    {7, "workflow"},
    {40, "workflow"},
    {41, "workflow"},
    {13, "diary"},
    {14, "news"},
}};
// clang-format on

const Module* find(std::string_view key) {
    auto it = std::find_if(kModules.begin(), kModules.end(),
                           [key](const Module& m) { return m.key == key; });
    return it == kModules.end() ? nullptr : &*it;
}

// A text column: absent for an unknown key or an empty cell.
std::optional<std::string> column(std::string_view key, std::string_view Module::*field) {
    const Module* m = find(key);
    if (m == nullptr || (m->*field).empty()) {
        return std::nullopt;
    }
    return std::string(m->*field);
}

// A column every module fills: absent only for an unknown key.
template <class Value>
std::optional<Value> column(std::string_view key, Value Module::*field) {
    const Module* m = find(key);
    return m == nullptr ? std::nullopt : std::optional<Value>(m->*field);
}

// A column some modules leave empty.
template <class Value>
std::optional<Value> column(std::string_view key, std::optional<Value> Module::*field) {
    const Module* m = find(key);
    return m == nullptr ? std::nullopt : m->*field;
}

}  // namespace

const std::vector<std::string>& ModuleCatalogue::keys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> all;
        for (const Module& m : kModules) {
            all.emplace_back(m.key);
        }
        return all;
    }();
    return keys;
}

bool ModuleCatalogue::contains(std::string_view key) {
    return find(key) != nullptr;
}

std::optional<std::string> ModuleCatalogue::listPage(std::string_view key) {
    return column(key, &Module::listPage);
}

bool ModuleCatalogue::isPublicList(std::string_view key) {
    return column(key, &Module::publicList).value_or(false);
}

std::optional<ListParserKind> ModuleCatalogue::listParser(std::string_view key) {
    return column(key, &Module::listParser);
}

std::optional<std::string> ModuleCatalogue::detailType(std::string_view key) {
    return column(key, &Module::detailType);
}

std::optional<DetailParserKind> ModuleCatalogue::detailParser(std::string_view key) {
    return column(key, &Module::detailParser);
}

std::optional<std::string> ModuleCatalogue::readPage(std::string_view key) {
    return column(key, &Module::readPage);
}

std::optional<std::string> ModuleCatalogue::readItemParameter(std::string_view key) {
    return column(key, &Module::readItemParameter);
}

std::optional<std::string> ModuleCatalogue::webPageFormat(std::string_view key) {
    return column(key, &Module::webPageFormat);
}

std::optional<std::string> ModuleCatalogue::homeTitle(std::string_view key) {
    return column(key, &Module::homeTitle);
}

std::optional<std::string> ModuleCatalogue::homeIcon(std::string_view key) {
    return column(key, &Module::homeIcon);
}

std::optional<int> ModuleCatalogue::badgeTag(std::string_view key) {
    return column(key, &Module::badgeTag);
}

std::optional<ScreenKind> ModuleCatalogue::screenKind(std::string_view key) {
    return column(key, &Module::screen);
}

std::optional<std::string> ModuleCatalogue::listLogicClass(std::string_view key) {
    return column(key, &Module::listLogic);
}

std::optional<std::string> ModuleCatalogue::listViewClass(std::string_view key) {
    return column(key, &Module::listView);
}

std::optional<std::string> ModuleCatalogue::detailLogicClass(std::string_view key) {
    return column(key, &Module::detailLogic);
}

std::optional<std::string> ModuleCatalogue::detailViewClass(std::string_view key) {
    return column(key, &Module::detailView);
}

std::optional<std::string> ModuleCatalogue::composeTitle(std::string_view key) {
    return column(key, &Module::composeTitle);
}

std::optional<ReminderTarget> ModuleCatalogue::reminderModule(long long smsType) {
    for (const Reminder& r : kReminders) {
        if (r.smsType == smsType) {
            return ReminderTarget{std::string(r.key), homeTitle(r.key).value_or(std::string())};
        }
    }
    return std::nullopt;
}

std::optional<ReminderTarget> ModuleCatalogue::reminderModule(std::string_view smsType) {
    return reminderModule(integerValue(smsType));
}

}  // namespace oa

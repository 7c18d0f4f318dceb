// The module catalogue: for every module key, the server pages, parsers, home-grid entry and
// screens, and the reminder kinds that open a module. One table, one lookup per column.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oa {

// Which list parser of JsonOperation reads a module's list reply.
enum class ListParserKind { email, notify, news, calendar, diary, file };

// Which detail parser of JsonDetailOperation reads a module's detail reply.
enum class DetailParserKind { emailDetail, notifyDetail, newsDetail, DiaryDetail, fileDetail };

// The screen a home-grid tile opens.
enum class ScreenKind {
    moduleList,    // the generic module list screen
    workflowPage,  // the workflow web page, presented modally without animation
    lookupScreen,  // person search, address book, area code or weather
};

// The module a reminder opens, and the title that module's screen gets.
struct ReminderTarget {
    bool operator==(const ReminderTarget&) const = default;

    std::string key;
    std::string title;
};

// Every lookup of an unknown key (or of a column the module leaves empty) gives an absent result.
class ModuleCatalogue {
public:
    // The twelve keys in canonical order.
    static const std::vector<std::string>& keys();
    static bool contains(std::string_view key);

    // Server side. Page paths are appended to the server base address.
    static std::optional<std::string> listPage(std::string_view key);
    // Whether the list requests carry the public flag ("public_folder" only).
    static bool isPublicList(std::string_view key);
    static std::optional<ListParserKind> listParser(std::string_view key);
    // The "ATYPE" of the detail request.
    static std::optional<std::string> detailType(std::string_view key);
    static std::optional<DetailParserKind> detailParser(std::string_view key);
    // The page that shows one item, and the query parameter naming the item there.
    static std::optional<std::string> readPage(std::string_view key);
    static std::optional<std::string> readItemParameter(std::string_view key);
    // The web page format (server address, session id) of a module that is a web page.
    static std::optional<std::string> webPageFormat(std::string_view key);

    // Client side.
    static std::optional<std::string> homeTitle(std::string_view key);
    // The name of the "png" resource of the module's tile.
    static std::optional<std::string> homeIcon(std::string_view key);
    static std::optional<int> badgeTag(std::string_view key);
    static std::optional<ScreenKind> screenKind(std::string_view key);
    static std::optional<std::string> listLogicClass(std::string_view key);
    static std::optional<std::string> listViewClass(std::string_view key);
    static std::optional<std::string> detailLogicClass(std::string_view key);
    static std::optional<std::string> detailViewClass(std::string_view key);
    // The title of the compose button on the module's list screen.
    static std::optional<std::string> composeTitle(std::string_view key);

    // The module of a reminder kind ("sms_type", read as an integer); absent for kinds that open
    // the reminder's own web address instead.
    static std::optional<ReminderTarget> reminderModule(long long smsType);
    static std::optional<ReminderTarget> reminderModule(std::string_view smsType);
};

}  // namespace oa

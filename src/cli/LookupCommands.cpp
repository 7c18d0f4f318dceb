// oa-cli users, user, address, contact, telno, weather: the directory lookups as the lookup
// screens send them, each record printed as one JSON object per line.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "cli/RecordText.h"
#include "cli/SessionOptions.h"
#include "core/protocol/AddressBO.h"
#include "core/protocol/TelNoBO.h"
#include "core/protocol/UserBO.h"
#include "core/protocol/WeatherBO.h"

namespace oa::cli {
namespace {

constexpr const char* kUsersUsage =
    "NAME SESSION-OPTIONS\n"
    "      The staff whose name contains NAME (every one for \"\"), one JSON object each.";
constexpr const char* kUserUsage =
    "USER_UID SESSION-OPTIONS\n"
    "      The card of the staff member USER_UID (the user_uid of `users`) as one JSON object.";
constexpr const char* kAddressUsage =
    "[--name NAME] [--dept DEPT] SESSION-OPTIONS\n"
    "      The address-book contacts matching NAME and organisation DEPT (empty: any), one JSON\n"
    "      object each.";
constexpr const char* kContactUsage =
    "Q_ID SESSION-OPTIONS\n"
    "      The address-book card of contact Q_ID (the q_id of `address`) as one JSON object.";
constexpr const char* kTelNoUsage =
    "[--city PLACE] [--code AREA_CODE] [--post POST_CODE] SESSION-OPTIONS\n"
    "      The places matching a place name, an area code and a post code (empty: any), one\n"
    "      JSON object each.";
constexpr const char* kWeatherUsage =
    "CITY SESSION-OPTIONS\n"
    "      The forecast of CITY, one JSON object per day, today first.";

// Reads the shared options and exactly `count` positional arguments, then signs in. Returns 0,
// or the exit code after saying what was wrong.
int prepare(SessionOptions& session, Args& positional, std::size_t count, const char* command,
            const char* usage) {
    if (int code = session.parse(positional)) {
        return code;
    }
    if (positional.size() != count) {
        return session.fail(std::string("usage: oa-cli ") + command + " " + usage);
    }
    return session.signIn();
}

template <class Records>
int printAll(const SessionOptions& session, const Records& records) {
    if (int code = session.checkExchange()) {
        return code;
    }
    printRecords(records);
    std::cerr << records.size() << " found\n";
    return 0;
}

int users(const Args& args) {
    SessionOptions session("users", args);
    Args positional;
    if (int code = prepare(session, positional, 1, "users", kUsersUsage)) {
        return code;
    }
    return printAll(session, UserBO::userList(UserBO().httpJsonInfo({{"name", positional[0]}})));
}

int user(const Args& args) {
    SessionOptions session("user", args);
    Args positional;
    if (int code = prepare(session, positional, 1, "user", kUserUsage)) {
        return code;
    }
    const auto card = UserBO().getUserDetail(positional[0]);
    if (int code = session.checkExchange()) {
        return code;
    }
    std::cout << recordText(*card) << "\n";
    return 0;
}

int address(const Args& args) {
    SessionOptions session("address", args);
    std::string name;
    std::string dept;
    session.takeOption("--name", name);
    session.takeOption("--dept", dept);
    Args positional;
    if (int code = prepare(session, positional, 0, "address", kAddressUsage)) {
        return code;
    }
    return printAll(session, AddressBO::addressList(
                                 AddressBO().httpJsonInfo({{"name", name}, {"dept", dept}})));
}

int contact(const Args& args) {
    SessionOptions session("contact", args);
    Args positional;
    if (int code = prepare(session, positional, 1, "contact", kContactUsage)) {
        return code;
    }
    const auto card = AddressBO().getDetailInfo(positional[0]);
    if (int code = session.checkExchange()) {
        return code;
    }
    std::cout << recordText(*card) << "\n";
    return 0;
}

int telno(const Args& args) {
    SessionOptions session("telno", args);
    std::string city;
    std::string code;
    std::string post;
    session.takeOption("--city", city);
    session.takeOption("--code", code);
    session.takeOption("--post", post);
    Args positional;
    if (int exit = prepare(session, positional, 0, "telno", kTelNoUsage)) {
        return exit;
    }
    const TelNoBO::Places places =
        TelNoBO::telList(TelNoBO().httpJsonInfo({{"city", city}, {"code", code}, {"post", post}}));
    if (int exit = session.checkExchange()) {
        return exit;
    }
    for (const TelVO& place : places) {
        std::cout << recordText(place) << "\n";
    }
    std::cerr << places.size() << " found\n";
    return 0;
}

int weather(const Args& args) {
    SessionOptions session("weather", args);
    Args positional;
    if (int code = prepare(session, positional, 1, "weather", kWeatherUsage)) {
        return code;
    }
    return printAll(session, WeatherBO().getWetherInfo(positional[0]));
}

}  // namespace

OA_CLI_COMMAND("users", kUsersUsage, users);
OA_CLI_COMMAND("user", kUserUsage, user);
OA_CLI_COMMAND("address", kAddressUsage, address);
OA_CLI_COMMAND("contact", kContactUsage, contact);
OA_CLI_COMMAND("telno", kTelNoUsage, telno);
OA_CLI_COMMAND("weather", kWeatherUsage, weather);

}  // namespace oa::cli

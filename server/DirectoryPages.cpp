// Directory pages. Searches match substrings; filtering happens here rather than with LIKE so
// that "%" and "_" in a search are ordinary characters.
#include "server/DirectoryPages.h"

#include <algorithm>

#include "server/HttpSupport.h"
#include "server/TimeText.h"
#include "server/WeatherReport.h"

namespace oa {

namespace {

bool contains(const std::string& text, const std::string& part) {
    return part.empty() || text.find(part) != std::string::npos;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

constexpr const char* kStaff =
    "SELECT u.uid, u.user_id, u.user_name, u.priv_name, d.dept_name, d.dept_long_name, u.sex, "
    "u.dept_id FROM users u JOIN depts d ON d.dept_id = u.dept_id ";

nlohmann::json person(const Statement& row) {
    return nlohmann::json{{"user_uid", std::to_string(row.integer(0))},
                          {"user_id", row.text(1)},
                          {"user_name", row.text(2)},
                          {"priv_name", row.text(3)},
                          {"dept_name", row.text(4)},
                          {"dept_long_name", row.text(5)},
                          {"sex", std::to_string(row.integer(6))},
                          {"avatar", std::to_string(row.integer(6))}};
}

}  // namespace

void DirectoryPages::install(PageRouter& router) {
    using namespace std::placeholders;
    router.page("/mobile/inc/get_contactlist.php", "", PageRouter::Reply::text,
                std::bind(&DirectoryPages::contactList, this, _1, _2, _3));
    router.page("/mobile/user_info/data.php", "", PageRouter::Reply::text,
                std::bind(&DirectoryPages::userInfo, this, _1, _2, _3));
    router.page("/mobile/address/data.php", "address", PageRouter::Reply::text,
                std::bind(&DirectoryPages::address, this, _1, _2, _3));
    router.page("/mobile/tel_no/data.php", "tel_no", PageRouter::Reply::text,
                std::bind(&DirectoryPages::telNo, this, _1, _2, _3));
    router.page("/mobile/weather/data.php", "", PageRouter::Reply::text,
                std::bind(&DirectoryPages::weather, this, _1, _2, _3));
}

void DirectoryPages::contactList(const httplib::Request& req, httplib::Response& res,
                                 const SessionUser&) {
    const auto action = HttpSupport::field(req, "A");
    nlohmann::json list = nlohmann::json::array();
    auto lock = ctx_.db.lock();
    if (action == "get_Dept") {
        Statement stmt = ctx_.db.prepare(
            "SELECT dept_id, dept_name, dept_long_name FROM depts ORDER BY dept_id");
        while (stmt.step()) {
            list.push_back({{"dept_id", std::to_string(stmt.integer(0))},
                            {"dept_name", stmt.text(1)},
                            {"dept_long_name", stmt.text(2)}});
        }
    } else if (action == "get_USER") {
        std::vector<std::int64_t> depts;
        for (const std::string& piece :
             HttpSupport::split(HttpSupport::fieldOr(req, "Q_ID"), ',')) {
            if (const auto id = HttpSupport::parseId(piece)) {
                depts.push_back(*id);
            } else if (!piece.empty()) {
                HttpSupport::error(res, 400, "Q_ID must be department ids");
                return;
            }
        }
        Statement stmt = ctx_.db.prepare(std::string(kStaff) + "ORDER BY u.dept_id, u.uid");
        while (stmt.step()) {
            if (std::find(depts.begin(), depts.end(), stmt.integer(7)) != depts.end()) {
                list.push_back(person(stmt));
            }
        }
    } else if (!action) {
        const std::string word = HttpSupport::fieldOr(req, "KWORD");
        Statement stmt = ctx_.db.prepare(std::string(kStaff) + "ORDER BY u.dept_id, u.uid");
        while (stmt.step()) {
            if (contains(stmt.text(2), word) || (!word.empty() && stmt.text(1) == word)) {
                list.push_back(person(stmt));
            }
        }
    } else {
        HttpSupport::error(res, 400, "unknown action");
        return;
    }
    lock.unlock();
    HttpSupport::json(res, list);
}

void DirectoryPages::userInfo(const httplib::Request& req, httplib::Response& res,
                              const SessionUser&) {
    if (HttpSupport::fieldOr(req, "ATYPE", "getUserInfo") != "getUserInfo") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const auto uid = HttpSupport::idField(req, "Q_ID");
    if (!uid) {
        HttpSupport::error(res, 400, "Q_ID must be a user_uid");
        return;
    }
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.query(
        "SELECT u.sex, u.user_id, u.user_name, u.priv_name, d.dept_long_name, u.oicq_no, "
        "u.tel_no_dept, u.mobil_no, u.email, u.remark, u.uid, d.dept_name FROM users u JOIN depts "
        "d ON d.dept_id = u.dept_id WHERE u.uid = ?",
        *uid);
    if (!stmt.step()) {
        HttpSupport::error(res, 404, "no such user");
        return;
    }
    const nlohmann::json item{{"sex", std::to_string(stmt.integer(0))},
                              {"user_id", stmt.text(1)},
                              {"user_name", stmt.text(2)},
                              {"user_priv", stmt.text(3)},
                              {"dept_long_name", stmt.text(4)},
                              {"avatar", std::to_string(stmt.integer(0))},
                              {"oicq_no", stmt.text(5)},
                              {"tel_no_dept", stmt.text(6)},
                              {"mobil_no", stmt.text(7)},
                              {"email", stmt.text(8)},
                              {"remark", stmt.text(9)},
                              {"user_uid", std::to_string(stmt.integer(10))},
                              {"dept_name", stmt.text(11)}};
    lock.unlock();
    HttpSupport::json(res, item);
}

void DirectoryPages::address(const httplib::Request& req, httplib::Response& res,
                             const SessionUser& user) {
    static const char* kFields[] = {
        "group_name",   "psn_name",  "sex",         "dept_long_name", "dept_name",
        "ministration", "birthday",  "tel_no_dept", "fax_no_dept",    "tel_no_home",
        "mobil_no",     "nick_name", "oicq_no",     "icq_no",         "email",
        "mate",         "child",     "add_dept",    "post_no_dept",   "add_home",
        "post_no_home", "notes"};
    std::string columns = "q_id";
    for (const char* field : kFields) {
        columns += std::string(", ") + field;
    }
    const std::string select =
        "SELECT " + columns + " FROM contacts WHERE (owner_uid IS NULL OR owner_uid = ?) ";
    const std::string atype = HttpSupport::fieldOr(req, "ATYPE");
    auto lock = ctx_.db.lock();
    if (atype == "getPsnList") {
        const std::string name = HttpSupport::fieldOr(req, "PSN_NAME");
        const std::string organisation = HttpSupport::fieldOr(req, "DEPT_NAM");
        Statement stmt = ctx_.db.query(select + "ORDER BY group_name, q_id", user.uid);
        nlohmann::json list = nlohmann::json::array();
        while (stmt.step()) {
            // Columns: 0 q_id, 1 group, 2 name, 3 sex, 4 dept_long_name, 5 dept_name.
            if (contains(stmt.text(2), name) &&
                (contains(stmt.text(5), organisation) || contains(stmt.text(4), organisation))) {
                list.push_back({{"q_id", std::to_string(stmt.integer(0))},
                                {"group_name", stmt.text(1)},
                                {"psn_name", stmt.text(2)},
                                {"sex", stmt.text(3)},
                                {"dept_name", stmt.text(5)}});
            }
        }
        lock.unlock();
        HttpSupport::json(res, list);
    } else if (atype == "getDetail") {
        const auto id = HttpSupport::requireId(req, res, "Q_ID");
        if (!id) {
            return;
        }
        Statement stmt = ctx_.db.query(select + "AND q_id = ?", user.uid, *id);
        if (!stmt.step()) {
            HttpSupport::error(res, 404, "no such contact");
            return;
        }
        nlohmann::json card{{"q_id", std::to_string(stmt.integer(0))}};
        int column = 0;
        for (const char* field : kFields) {
            card[field] = stmt.text(++column);
        }
        lock.unlock();
        HttpSupport::json(res, card);
    } else {
        HttpSupport::error(res, 400, "unknown ATYPE");
    }
}

void DirectoryPages::telNo(const httplib::Request& req, httplib::Response& res,
                           const SessionUser&) {
    if (HttpSupport::fieldOr(req, "ATYPE") != "getTelNoList") {
        HttpSupport::error(res, 400, "unknown ATYPE");
        return;
    }
    const std::string area = HttpSupport::fieldOr(req, "AREA");
    const std::string code = HttpSupport::fieldOr(req, "TEL_NO");
    const std::string post = HttpSupport::fieldOr(req, "POST_NO");
    nlohmann::json list = nlohmann::json::array();
    auto lock = ctx_.db.lock();
    Statement stmt = ctx_.db.prepare(
        "SELECT province, city, county, town, tel_no, post_no FROM places ORDER BY place_id");
    while (stmt.step() && list.size() < kMaxPlaces) {
        const bool placeMatches = contains(stmt.text(0), area) || contains(stmt.text(1), area) ||
                                  contains(stmt.text(2), area) || contains(stmt.text(3), area);
        if (placeMatches && startsWith(stmt.text(4), code) && startsWith(stmt.text(5), post)) {
            list.push_back({{"province", stmt.text(0)},
                            {"city", stmt.text(1)},
                            {"county", stmt.text(2)},
                            {"town", stmt.text(3)},
                            {"tel_no", stmt.text(4)},
                            {"post_no", stmt.text(5)}});
        }
    }
    lock.unlock();
    HttpSupport::json(res, list);
}

void DirectoryPages::weather(const httplib::Request& req, httplib::Response& res,
                             const SessionUser&) {
    std::string city = HttpSupport::fieldOr(req, "CITY_NAME");
    // "上海市" and "上海" are the same city.
    if (city.size() > 3 && city.compare(city.size() - 3, 3, "市") == 0) {
        city.resize(city.size() - 3);
    }
    if (city.empty() || city.size() > 90) {
        HttpSupport::error(res, 400, "CITY_NAME must name a city");
        return;
    }
    HttpSupport::json(res, WeatherReport::forecast(city, TimeText::today()));
}

}  // namespace oa

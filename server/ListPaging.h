// The three list requests every module list answers ("A" = "loadList", "getNew", "getMore"):
// newest item first, ten items per page, "NONEWDATA" and "NOMOREDATA" for empty pages.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "server/Database.h"

namespace oa {

// The items a user may see in one list: `sql` is a SELECT whose WHERE clause filters them,
// with `params` bound in order, and `idColumn` is the item id, which grows with time.
struct ListQuery {
    std::string sql;
    std::vector<std::int64_t> params;
    std::string idColumn;
};

class ListPaging {
public:
    static constexpr int kPageSize = 10;
    // getNew answers every newer item up to this many, so that the client's list stays a
    // prefix of the server's and later "CURRITERMS" offsets stay right.
    static constexpr int kMaxNewItems = 100;

    using RowMapper = std::function<nlohmann::json(const Statement&)>;

    // Answers the list request of `req` (its "A", "LATEST_ID" and "CURRITERMS" fields). Takes
    // the database lock itself.
    static void reply(const httplib::Request& req, httplib::Response& res, Database& db,
                      const ListQuery& query, const RowMapper& row);
};

}  // namespace oa

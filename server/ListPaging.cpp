// Paging of module lists.
#include "server/ListPaging.h"

#include "server/HttpSupport.h"

namespace oa {

void ListPaging::reply(const httplib::Request& req, httplib::Response& res, Database& db,
                       const ListQuery& query, const RowMapper& row) {
    const std::string action = HttpSupport::fieldOr(req, "A");
    std::string sql = query.sql;
    std::vector<std::int64_t> params = query.params;
    const char* empty = "NOMOREDATA";
    if (action == "loadList") {
        sql += " ORDER BY " + query.idColumn + " DESC LIMIT " + std::to_string(kPageSize);
    } else if (action == "getNew") {
        const auto latest = HttpSupport::requireId(req, res, "LATEST_ID");
        if (!latest) {
            return;
        }
        sql += " AND " + query.idColumn + " > ? ORDER BY " + query.idColumn + " DESC LIMIT " +
               std::to_string(kMaxNewItems);
        params.push_back(*latest);
        empty = "NONEWDATA";
    } else if (action == "getMore") {
        const auto held = HttpSupport::requireId(req, res, "CURRITERMS");
        if (!held) {
            return;
        }
        sql += " ORDER BY " + query.idColumn + " DESC LIMIT " + std::to_string(kPageSize) +
               " OFFSET ?";
        params.push_back(*held);
    } else {
        HttpSupport::error(res, 400, "unknown list action");
        return;
    }

    nlohmann::json items = nlohmann::json::array();
    {
        auto lock = db.lock();
        Statement stmt = db.prepare(sql);
        for (std::size_t i = 0; i < params.size(); ++i) {
            stmt.bind(static_cast<int>(i + 1), params[i]);
        }
        while (stmt.step()) {
            items.push_back(row(stmt));
        }
    }
    if (items.empty()) {
        HttpSupport::text(res, empty);
    } else {
        HttpSupport::json(res, items);
    }
}

}  // namespace oa

// The departments of the staff directory and their members: what the recipient picker's
// department screen lists and what choosing departments adds to a choice of people.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"

namespace oa {

// One department as the server lists it.
struct DeptVO {
    bool operator==(const DeptVO&) const = default;

    Text dept_id;
    Text dept_name;
    Text dept_long_name;
};

// Stateless: make one per call. Requests run synchronously on the calling thread;
// HttpRequest::lastFailure() tells a failed exchange from an empty reply.
class DeptBO {
public:
    using Depts = std::vector<DeptVO>;
    using People = std::vector<std::shared_ptr<UserVO>>;

    // The departments in reply order; none when the request fails or the reply is no list.
    Depts getDeptList() const;
    // The people of `depts`, in reply order. No department asks nothing and gives nobody; a
    // failed request gives nobody.
    People getDeptUsers(const Depts& depts) const;

    // The departments of a reply: its object elements in order (anything else is skipped).
    static Depts deptList(const HttpRequest::Reply& reply);
    // The "Q_ID" of a member request: the ids joined by ",", an absent id as an empty one.
    static std::string joinIds(const Depts& depts);
};

}  // namespace oa

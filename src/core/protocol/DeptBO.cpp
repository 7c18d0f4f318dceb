// DeptBO: the department list and member requests of the staff directory.
#include "core/protocol/DeptBO.h"

#include "core/protocol/JsonReply.h"
#include "core/protocol/UserBO.h"

namespace oa {

namespace {

constexpr auto kDeptFields = std::to_array<RecordField<DeptVO>>({
    {"dept_id", &DeptVO::dept_id},
    {"dept_name", &DeptVO::dept_name},
    {"dept_long_name", &DeptVO::dept_long_name},
});
static_assert(distinctFields(kDeptFields));

}  // namespace

DeptBO::Depts DeptBO::getDeptList() const {
    return deptList(HttpRequest().getDeptList());
}

DeptBO::People DeptBO::getDeptUsers(const Depts& depts) const {
    if (depts.empty()) {
        return {};
    }
    // Members come in the keys of a search reply.
    return UserBO::userList(HttpRequest().getDeptUsers(joinIds(depts)));
}

DeptBO::Depts DeptBO::deptList(const HttpRequest::Reply& reply) {
    Depts depts;
    nlohmann::json list = JsonReply::parse(reply);
    if (!list.is_array()) {
        return depts;
    }
    for (nlohmann::json& element : list) {
        if (!element.is_object()) {
            continue;
        }
        DeptVO dept;
        JsonReply::takeFields(element, dept, kDeptFields);
        depts.push_back(std::move(dept));
    }
    return depts;
}

std::string DeptBO::joinIds(const Depts& depts) {
    std::string ids;
    for (const DeptVO& dept : depts) {
        if (&dept != &depts.front()) {
            ids += ',';
        }
        ids += dept.dept_id.value_or("");
    }
    return ids;
}

}  // namespace oa

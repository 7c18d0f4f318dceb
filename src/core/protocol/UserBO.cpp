// UserBO: the person search request and its reply.
#include "core/protocol/UserBO.h"

#include <any>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/JsonReply.h"

namespace oa {

namespace {

// The keys of a person in a search reply; every other field stays absent.
constexpr auto kSearchFields = std::to_array<RecordField<UserVO>>({
    {"user_id", &UserVO::user_id},
    {"user_uid", &UserVO::user_uid},
    {"dept_long_name", &UserVO::dept_long_name},
    {"user_name", &UserVO::user_name},
    {"priv_name", &UserVO::priv_name},
    {"dept_name", &UserVO::dept_name},
    {"sex", &UserVO::sex},
});
static_assert(distinctFields(kSearchFields));

}  // namespace

void UserBO::search(const Terms& terms) const {
    operationJson(httpJsonInfo(terms));
}

UserBO::Reply UserBO::httpJsonInfo(const Terms& terms) const {
    const auto name = terms.find("name");
    return HttpRequest().searchPerson(name == terms.end() ? std::string() : name->second);
}

UserBO::People UserBO::operationJson(const Reply& reply) const {
    People people = userList(reply);
    NotificationCenter::defaultCenter().post(kSearchNotification, std::any(people));
    return people;
}

UserBO::People UserBO::userList(const Reply& reply) {
    People people;
    nlohmann::json list = JsonReply::parse(reply);
    if (!list.is_array()) {
        return people;
    }
    for (nlohmann::json& element : list) {
        auto person = std::make_shared<UserVO>();
        JsonReply::takeFields(element, *person, kSearchFields);
        people.push_back(std::move(person));
    }
    return people;
}

}  // namespace oa

// UserBO: the person search and the person card.
#include "core/protocol/UserBO.h"

#include <any>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/JsonReply.h"

namespace oa {

namespace {
static_assert(distinctFields(UserVO::searchFields()));
static_assert(distinctFields(UserVO::detailFields()));
}  // namespace

void UserBO::search(const Terms& terms) const {
    operationJson(httpJsonInfo(terms));
}

UserBO::Reply UserBO::httpJsonInfo(const Terms& terms) const {
    return HttpRequest().searchPerson(term(terms, "name"));
}

UserBO::People UserBO::operationJson(const Reply& reply) const {
    People people = userList(reply);
    NotificationCenter::defaultCenter().post(kSearchNotification, std::any(people));
    return people;
}

UserBO::People UserBO::userList(const Reply& reply) {
    return JsonReply::takeList(reply, UserVO::searchFields());
}

std::shared_ptr<UserVO> UserBO::getUserDetail(const Text& userUid) const {
    return userDetail(httpJsonDetailInfo(userUid));
}

UserBO::Reply UserBO::httpJsonDetailInfo(const Text& userUid) const {
    return HttpRequest().getUserDetail(userUid);
}

std::shared_ptr<UserVO> UserBO::userDetail(const Reply& reply) {
    return JsonReply::takeObject(reply, UserVO::detailFields());
}

std::shared_ptr<BaseVO> UserBO::getDetailInfo(const Text& itemId) {
    return getUserDetail(itemId);
}

}  // namespace oa

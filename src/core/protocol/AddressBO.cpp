// AddressBO: the address-book search and cards.
#include "core/protocol/AddressBO.h"

#include <any>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/JsonReply.h"

namespace oa {

namespace {
static_assert(distinctFields(AddressVO::fields()));
static_assert(distinctFields(AddressDetailVO::fields()));
}  // namespace

void AddressBO::search(const Terms& terms) const {
    operationJson(httpJsonInfo(terms));
}

AddressBO::Reply AddressBO::httpJsonInfo(const Terms& terms) const {
    return HttpRequest().searchAddress(term(terms, "name"), term(terms, "dept"));
}

AddressBO::Contacts AddressBO::operationJson(const Reply& reply) const {
    Contacts contacts = addressList(reply);
    NotificationCenter::defaultCenter().post(AddressSearchNotification::kName, std::any(contacts));
    return contacts;
}

AddressBO::Contacts AddressBO::addressList(const Reply& reply) {
    return JsonReply::takeList(reply, AddressVO::fields());
}

std::shared_ptr<BaseVO> AddressBO::getDetailInfo(const Text& itemId) {
    return operationDetailJson(getDetaileJsonString(itemId));
}

AddressBO::Reply AddressBO::getDetaileJsonString(const Text& contactId) const {
    return HttpRequest().getAddressDetail(contactId);
}

std::shared_ptr<AddressDetailVO> AddressBO::operationDetailJson(const Reply& reply) {
    return JsonReply::takeObject(reply, AddressDetailVO::fields());
}

}  // namespace oa

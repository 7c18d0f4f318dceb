// The address book: the contact search by name and organisation, its "addressSearch"
// notification, and a contact's card.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/LookupNotifications.h"
#include "core/protocol/OtherBaseBO.h"

namespace oa {

class AddressBO : public OtherBaseBO {
public:
    using Reply = HttpRequest::Reply;
    using Contacts = AddressSearchNotification::Object;

    explicit AddressBO(std::string func_type = "address") : OtherBaseBO(std::move(func_type)) {}

    // Searches the text under "name" and "dept" (each empty when absent) and posts the contacts
    // (possibly none) as "addressSearch" on the calling thread.
    void search(const Terms& terms) const override;
    // The search request; the reply text, absent when the exchange failed.
    Reply httpJsonInfo(const Terms& terms) const;
    // The contacts of a search reply, posted as "addressSearch".
    Contacts operationJson(const Reply& reply) const;
    // The contacts of a search reply in reply order, without posting anything: none for no reply
    // or one that is not a JSON array; elements that are not objects are skipped.
    static Contacts addressList(const Reply& reply);

    // The card of the contact with q_id `itemId`, an AddressDetailVO: every field absent when the
    // exchange failed or the reply is not an object.
    std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId) override;
    // The card request; the reply text, absent when the exchange failed.
    Reply getDetaileJsonString(const Text& contactId) const;
    // The card of a card reply.
    static std::shared_ptr<AddressDetailVO> operationDetailJson(const Reply& reply);
};

}  // namespace oa

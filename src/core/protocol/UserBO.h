// The staff directory's person search and person card: the requests, their replies as people, and
// the "userSearch" notification through which the lookup screens and the recipient picker receive
// a search's result.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/LookupNotifications.h"
#include "core/protocol/OtherBaseBO.h"

namespace oa {

class UserBO : public OtherBaseBO {
public:
    using Reply = HttpRequest::Reply;
    using People = UserSearchNotification::Object;

    // The name of the notification that search() posts, its object a People.
    static constexpr const char* kSearchNotification = UserSearchNotification::kName;

    explicit UserBO(std::string func_type = "user") : OtherBaseBO(std::move(func_type)) {}

    // Sends the search for the text under "name" and posts its people (possibly none) as
    // "userSearch" on the calling thread.
    void search(const Terms& terms) const override;
    // The search request with "KWORD" = the text under "name" (empty without one); the reply
    // text, absent when the exchange failed (HttpRequest::lastFailure() says why).
    Reply httpJsonInfo(const Terms& terms) const;
    // The people of a search reply, in reply order; none for no reply or one that is not a JSON
    // array. Posts them as "userSearch".
    People operationJson(const Reply& reply) const;

    // The people of a search reply, without posting anything. Elements that are not objects are
    // skipped.
    static People userList(const Reply& reply);

    // The card of the person with `userUid`: every field absent when the exchange failed or the
    // reply is not an object.
    std::shared_ptr<UserVO> getUserDetail(const Text& userUid) const;
    // The card request; the reply text, absent when the exchange failed.
    Reply httpJsonDetailInfo(const Text& userUid) const;
    // The person of a card reply (the role is read from "user_priv").
    static std::shared_ptr<UserVO> userDetail(const Reply& reply);

    // The card, for a detail screen that holds the person's user_uid as the item id.
    std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId) override;
};

}  // namespace oa

// The staff directory's person search: the request, its reply as people, and the "userSearch"
// notification through which the lookup screens and the recipient picker receive the result.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"

namespace oa {

class UserBO {
public:
    using Reply = HttpRequest::Reply;
    // Search terms by name; the person search reads "name".
    using Terms = std::map<std::string, std::string>;
    using People = std::vector<std::shared_ptr<UserVO>>;

    // The name of the notification that search() posts, its object a People.
    static constexpr const char* kSearchNotification = "userSearch";

    // Sends the search and posts its people (possibly none) as "userSearch" on the calling
    // thread.
    void search(const Terms& terms) const;
    // The search request with "KWORD" = the text under "name" (empty without one); the reply
    // text, absent when the exchange failed (HttpRequest::lastFailure() says why).
    Reply httpJsonInfo(const Terms& terms) const;
    // The people of a search reply, in reply order; none for no reply or one that is not a JSON
    // array. Posts them as "userSearch".
    People operationJson(const Reply& reply) const;

    // The people of a search reply, without posting anything.
    static People userList(const Reply& reply);
};

}  // namespace oa

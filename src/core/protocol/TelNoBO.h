// The area-code and post-code lookup: the place search and its "telNoSearch" notification.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/LookupNotifications.h"
#include "core/protocol/OtherBaseBO.h"

namespace oa {

class TelNoBO : public OtherBaseBO {
public:
    using Reply = HttpRequest::Reply;
    using Places = TelNoSearchNotification::Object;

    explicit TelNoBO(std::string func_type = "tel_no") : OtherBaseBO(std::move(func_type)) {}

    // Searches the texts under "city", "code" and "post" (each empty when absent) and posts the
    // places (possibly none) as "telNoSearch" on the calling thread.
    void search(const Terms& terms) const override;
    // The search request; the reply text, absent when the exchange failed.
    Reply httpJsonInfo(const Terms& terms) const;
    // The places of a search reply, posted as "telNoSearch".
    Places operationJson(const Reply& reply) const;
    // The places of a search reply in reply order, without posting anything: none for no reply
    // or one that is not a JSON array; elements that are not objects are skipped.
    static Places telList(const Reply& reply);
};

}  // namespace oa

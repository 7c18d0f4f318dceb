// The addresses the server's pages and reminders lead to: a "message:" link in a page opens an
// attachment instead of loading, and a reminder's address is opened through the server's
// go.php with the address in Base64.
#pragma once

#include <string>

#include "core/transport/Base64.h"

namespace oa {

struct LinkAction {
    enum class Type { Load, Refuse, OpenAttachment };
    Type type = Type::Load;
    int category = 0;     // OpenAttachment only
    std::string address;  // OpenAttachment only: the link's path on the server
};

// What a page's link `url` does on the server `oa`: "message:<category><separator><path>"
// opens the attachment at the path on that server (serverAddress; a category that is not a digit
// is 0); a "message:" link too short to name one, or whose path leads off the server, is
// refused; anything else loads.
LinkAction linkAction(const std::string& url, const std::string& oa);

// The go.php page of server `oa` that shows `address` for the session `sessionId`, the address
// in Base64 percent-encoded as a query value; empty when `oa` is no server address.
std::string reminderAddress(const std::string& oa, const std::string& sessionId,
                            const std::string& address);

}  // namespace oa

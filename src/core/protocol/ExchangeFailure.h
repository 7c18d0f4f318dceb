// Why an exchange with the OA server failed: no usable reply came (no connection, time-out, bad
// address, a missing upload file), or the server answered with a status outside 200-299.
#pragma once

#include <optional>
#include <string>

#include "core/transport/RequestError.h"

namespace oa {

class ASIHTTPRequest;

struct ExchangeFailure {
    std::string url;
    // The transport's error when no reply came.
    std::optional<RequestError> error;
    // The status of a reply outside 200-299; 0 when no reply came.
    int status = 0;
    // The start of that reply's text on one line, safe to print: usually the server's own
    // explanation of the status.
    std::string excerpt;

    bool timedOut() const;
    // One line for a log or a terminal: "<url>: The request timed out",
    // "<url>: the server answered HTTP 413: ERROR: ...".
    std::string reason() const;

    // The failure of a request that has ended; nothing when it got a reply with a status from 200
    // to 299. Asynchronous callers (the dialog's conversation load) ask this in their finish
    // callback, which the transport calls for any status.
    static std::optional<ExchangeFailure> of(const ASIHTTPRequest& request);
};

}  // namespace oa

// Who may use the demo interface ("/demo/admin/..."): requests from the loopback network, to a
// loopback host name, that carry the header "X-OA-Admin: 1" and name no other origin in Origin
// or Referer. Any web page open in a browser on this machine can post a form to a loopback
// address; it cannot add a header of its own to a request to another origin without a CORS
// preflight, which this server never grants, and what a browser sends for it says where it
// comes from. The host name check keeps a page whose own name was made to point at loopback
// from passing as this server's origin.
#pragma once

#include <httplib.h>

namespace oa {

class AdminGuard {
public:
    static constexpr const char* kHeader = "X-OA-Admin";

    // True when `req` may use the interface; otherwise `res` carries the refusal (403). `tls`:
    // whether this server speaks HTTPS, which its own origin names.
    static bool admit(const httplib::Request& req, httplib::Response& res, bool tls);
};

}  // namespace oa

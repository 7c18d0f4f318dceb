// Reading a POST body for the pages. cpp-httplib, as built into the system's shared library,
// refuses URL-encoded bodies over 8 KB on its own (a limit fixed when the library was compiled,
// far below the server's request limit), so the pages take their bodies through content
// readers and this fills the request's fields as the library would: the form fields of a
// URL-encoded body, the parts of a multipart one, and the raw body otherwise.
#pragma once

#include <httplib.h>

#include <cstddef>

namespace oa {

class FormBody {
public:
    // Reads the whole body of `req` through `reader`. False when the body was not read whole:
    // then `res` carries the status (413 past `maxBytes` or past kMaxFields, 400 for a broken
    // body) and no page may run.
    static bool read(httplib::Request& req, httplib::Response& res,
                     const httplib::ContentReader& reader, std::size_t maxBytes);

    // The number of multipart parts a request may carry.
    static constexpr std::size_t kMaxParts = 1024;
    // The number of fields a URL-encoded body may carry. No page takes more than a few dozen;
    // millions of tiny fields in one request limit would cost hundreds of bytes of bookkeeping
    // each.
    static constexpr std::size_t kMaxFields = 10'000;
};

}  // namespace oa

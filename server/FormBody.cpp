// POST bodies.
#include "server/FormBody.h"

namespace oa {

bool FormBody::read(httplib::Request& req, httplib::Response& res,
                    const httplib::ContentReader& reader, std::size_t maxBytes) {
    std::size_t total = 0;
    bool tooLarge = false;
    // The library checks a declared Content-Length against the request limit; a chunked body
    // is counted here.
    auto fits = [&](std::size_t n) {
        total += n;
        tooLarge = total > maxBytes;
        return !tooLarge;
    };
    bool ok = false;
    if (req.is_multipart_form_data()) {
        httplib::MultipartFormDataMap::iterator current = req.files.end();
        ok = reader(
            [&](const httplib::MultipartFormData& part) {
                if (req.files.size() >= kMaxParts) {
                    return false;
                }
                current = req.files.emplace(part.name, part);
                return true;
            },
            [&](const char* data, std::size_t n) {
                if (!fits(n) || current == req.files.end()) {
                    return false;
                }
                current->second.content.append(data, n);
                return true;
            });
    } else {
        ok = reader([&](const char* data, std::size_t n) {
            if (!fits(n)) {
                return false;
            }
            req.body.append(data, n);
            return true;
        });
    }
    if (!ok) {
        if (tooLarge) {
            res.status = 413;
        } else if (res.status < 400) {
            res.status = 400;
        }
        return false;
    }
    if (req.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0) {
        httplib::detail::parse_query_text(req.body, req.params);
    }
    return true;
}

}  // namespace oa

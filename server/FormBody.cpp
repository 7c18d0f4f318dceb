// POST bodies.
#include "server/FormBody.h"

#include <cstring>
#include <string>

#include "server/HttpSupport.h"

namespace oa {

namespace {

// The fields of a URL-encoded body, taken as its pieces arrive: only the field being read is
// held besides the fields already decoded, never the body whole. Past `maxFields` nothing more
// is kept, though the rest is still read so that the refusal reaches the client over a
// connection that stays usable.
class UrlEncodedFields {
public:
    explicit UrlEncodedFields(std::size_t maxFields) : maxFields_(maxFields) {}

    void add(const char* data, std::size_t n) {
        const char* end = data + n;
        while (data < end && !tooMany_) {
            const auto* amp = static_cast<const char*>(std::memchr(data, '&', end - data));
            pending_.append(data, amp ? amp : end);
            if (!amp) {
                return;
            }
            finishField();
            data = amp + 1;
        }
    }

    // Takes the last field; false when there were more than the limit.
    bool finish() {
        finishField();
        return !tooMany_;
    }

    httplib::Params& fields() { return fields_; }

private:
    void finishField() {
        if (tooMany_ || pending_.empty()) {
            pending_.clear();
            return;
        }
        if (++count_ > maxFields_) {
            tooMany_ = true;
            fields_.clear();
            pending_ = std::string();
            return;
        }
        const auto eq = pending_.find('=');
        std::string key = httplib::detail::decode_url(pending_.substr(0, eq), true);
        if (!key.empty()) {
            std::string value;
            if (eq != std::string::npos) {
                // In place: a field may be as long as the request limit.
                pending_.erase(0, eq + 1);
                value = httplib::detail::decode_url(pending_, true);
            }
            fields_.emplace(std::move(key), std::move(value));
        }
        pending_.clear();
    }

    std::size_t maxFields_;
    std::size_t count_ = 0;
    bool tooMany_ = false;
    std::string pending_;
    httplib::Params fields_;
};

}  // namespace

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
    bool tooManyFields = false;
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
    } else if (req.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) ==
               0) {
        UrlEncodedFields form(kMaxFields);
        ok = reader([&](const char* data, std::size_t n) {
            if (!fits(n)) {
                return false;
            }
            form.add(data, n);
            return true;
        });
        if (ok && !form.finish()) {
            tooManyFields = true;
        } else if (ok) {
            req.params.merge(form.fields());
        }
    } else {
        ok = reader([&](const char* data, std::size_t n) {
            if (!fits(n)) {
                return false;
            }
            req.body.append(data, n);
            return true;
        });
    }
    if (tooManyFields) {
        HttpSupport::error(res, 413,
                           "form with more than " + std::to_string(kMaxFields) + " fields");
        return false;
    }
    if (!ok) {
        if (tooLarge) {
            res.status = 413;
        } else if (res.status < 400) {
            res.status = 400;
        }
        return false;
    }
    return true;
}

}  // namespace oa

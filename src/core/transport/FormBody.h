// The wire form of a form request: URL-encoded fields, or a multipart body whose file parts are
// streamed from disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/transport/RequestBody.h"

namespace oa {

struct FormField {
    std::string key;
    std::string value;
};

struct FormFile {
    std::string key;
    std::optional<std::string> path;  // streamed from disk when set
    std::string data;                 // sent as is when there is no path
    std::string fileName;
    std::string contentType;
};

class FormBody {
public:
    // The IANA name of the only text encoding the form uses.
    static constexpr const char* kCharset = "utf-8";
    static constexpr const char* kUrlEncodedContentType =
        "application/x-www-form-urlencoded; charset=utf-8";

    // Percent-escapes UTF-8 text: everything but ASCII letters, digits, "-", "." and "_".
    static std::string escape(std::string_view text);
    // "key=value&key=value" with both sides escaped.
    static std::string urlEncoded(const std::vector<FormField>& fields);
    // "0xKhTmLbOuNdArY-" followed by a fresh random UUID.
    static std::string newBoundary();
    // The multipart body: text fields first, then file parts, each in insertion order. Fails
    // with the path of a file part that is no longer a readable regular file.
    static std::variant<RequestBody, std::string> multipart(const std::vector<FormField>& fields,
                                                            const std::vector<FormFile>& files,
                                                            const std::string& boundary);
    // Quotes and line breaks in a part's name or file name would end the header early; they
    // are escaped the way browsers do.
    static std::string headerSafe(std::string_view text);
};

}  // namespace oa

// The content type of a file part, from the file name's extension.
#pragma once

#include <string>
#include <string_view>

namespace oa {

class MimeTypes {
public:
    // The system's mapping (/etc/mime.types), then a small built-in table of the types the
    // client uploads; "application/octet-stream" when neither knows the extension.
    static std::string forPath(std::string_view path);
};

}  // namespace oa

// The content type of a file part, from the file name's extension or, for pictures, from the
// bytes themselves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oa {

struct PictureType {
    std::string extension;  // without the dot: "jpg", "png", "gif"
    std::string contentType;
};

class MimeTypes {
public:
    // The system's mapping (/etc/mime.types), then a small built-in table of the types the
    // client uploads; "application/octet-stream" when neither knows the extension.
    static std::string forPath(std::string_view path);

    // The picture format that the bytes' signature shows (JPEG, PNG or GIF), whatever a file
    // holding them is named; nothing for other bytes.
    static std::optional<PictureType> pictureOf(std::string_view firstBytes);
    // The same for the first bytes of the file at `path`; nothing when it cannot be read.
    static std::optional<PictureType> pictureOfFile(const std::string& path);
};

}  // namespace oa

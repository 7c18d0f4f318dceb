// FormBody: escaping, the boundary and the multipart layout.
#include "core/transport/FormBody.h"

#include <sys/stat.h>

#include <cstdio>
#include <random>

namespace oa {

std::string FormBody::escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string FormBody::urlEncoded(const std::vector<FormField>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += '&';
        }
        out += escape(fields[i].key);
        out += '=';
        out += escape(fields[i].value);
    }
    return out;
}

std::string FormBody::newBoundary() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::uint64_t high = random();
    const std::uint64_t low = random();
    unsigned char bytes[16];
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(high >> (56 - 8 * i));
        bytes[8 + i] = static_cast<unsigned char>(low >> (56 - 8 * i));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    char uuid[37];
    std::snprintf(uuid, sizeof uuid,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                  bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return std::string("0xKhTmLbOuNdArY-") + uuid;
}

std::string FormBody::headerSafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "%22";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::variant<RequestBody, std::string> FormBody::multipart(const std::vector<FormField>& fields,
                                                           const std::vector<FormFile>& files,
                                                           const std::string& boundary) {
    RequestBody body;
    const std::string separator = "\r\n--" + boundary + "\r\n";
    body.append("--" + boundary + "\r\n");
    bool first = true;
    for (const auto& field : fields) {
        if (!first) {
            body.append(separator);
        }
        first = false;
        body.append("Content-Disposition: form-data; name=\"" + headerSafe(field.key) +
                    "\"\r\n\r\n");
        body.append(field.value);
    }
    for (const auto& file : files) {
        if (!first) {
            body.append(separator);
        }
        first = false;
        body.append("Content-Disposition: form-data; name=\"" + headerSafe(file.key) +
                    "\"; filename=\"" + headerSafe(file.fileName) + "\"\r\n");
        body.append("Content-Type: " + headerSafe(file.contentType) + "\r\n\r\n");
        if (file.path) {
            struct stat info {};
            if (::stat(file.path->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
                return *file.path;
            }
            body.appendFile(*file.path, static_cast<std::uint64_t>(info.st_size));
        } else {
            body.append(file.data);
        }
    }
    body.append("\r\n--" + boundary + "--\r\n");
    return body;
}

}  // namespace oa

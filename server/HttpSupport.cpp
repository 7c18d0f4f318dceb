// HTTP plumbing.
#include "server/HttpSupport.h"

#include <zlib.h>

#include <cctype>
#include <charconv>
#include <memory>

namespace oa {

std::optional<std::string> HttpSupport::field(const httplib::Request& req,
                                              const std::string& name) {
    if (req.has_param(name)) {
        return req.get_param_value(name);
    }
    const auto range = req.files.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.filename.empty()) {
            return it->second.content;
        }
    }
    return std::nullopt;
}

std::string HttpSupport::fieldOr(const httplib::Request& req, const std::string& name,
                                 std::string fallback) {
    auto value = field(req, name);
    return value ? std::move(*value) : std::move(fallback);
}

std::optional<httplib::MultipartFormData> HttpSupport::filePart(const httplib::Request& req,
                                                                const std::string& name) {
    const auto range = req.files.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        if (!it->second.filename.empty()) {
            return it->second;
        }
    }
    return std::nullopt;
}

std::string HttpSupport::jsonText(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void HttpSupport::json(httplib::Response& res, const nlohmann::json& value) {
    res.status = 200;
    res.set_content(jsonText(value), "application/json; charset=utf-8");
}

void HttpSupport::text(httplib::Response& res, std::string body, int status) {
    res.status = status;
    res.set_content(std::move(body), "text/plain; charset=utf-8");
}

void HttpSupport::html(httplib::Response& res, std::string body, int status) {
    res.status = status;
    res.set_content(std::move(body), "text/html; charset=utf-8");
}

void HttpSupport::error(httplib::Response& res, int status, std::string_view message) {
    text(res, "ERROR: " + std::string(message), status);
}

void HttpSupport::htmlError(httplib::Response& res, int status, std::string_view message) {
    std::string body =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
        "content=\"width=device-width, initial-scale=1\"><title>错误</title></head><body "
        "style=\"font-family:sans-serif;padding:16px;color:#933\"><p>";
    for (char c : message) {
        switch (c) {
            case '<':
                body += "&lt;";
                break;
            case '>':
                body += "&gt;";
                break;
            case '&':
                body += "&amp;";
                break;
            default:
                body += c;
        }
    }
    body += "</p></body></html>";
    html(res, std::move(body), status);
}

std::optional<std::string> HttpSupport::cookie(const httplib::Request& req, std::string_view name) {
    const std::size_t count = req.get_header_value_count("Cookie");
    for (std::size_t i = 0; i < count; ++i) {
        const std::string header = req.get_header_value("Cookie", i);
        for (std::string_view piece : split(header, ';')) {
            while (!piece.empty() && piece.front() == ' ') {
                piece.remove_prefix(1);
            }
            const auto eq = piece.find('=');
            if (eq != std::string_view::npos && piece.substr(0, eq) == name) {
                return std::string(piece.substr(eq + 1));
            }
        }
    }
    return std::nullopt;
}

bool HttpSupport::fromLoopback(const httplib::Request& req) {
    const std::string& addr = req.remote_addr;
    return addr.rfind("127.", 0) == 0 || addr == "::1" || addr.rfind("::ffff:127.", 0) == 0;
}

std::string HttpSupport::gzip(std::string_view data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return {};
    }
    const std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&stream, deflateEnd);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) {
        return {};
    }
    out.resize(stream.total_out);
    return out;
}

void HttpSupport::compressJson(const httplib::Request& req, httplib::Response& res) {
    const std::string type = res.get_header_value("Content-Type");
    if (type.rfind("application/json", 0) != 0 || res.has_header("Content-Encoding") ||
        res.body.empty()) {
        return;
    }
    std::string accept = req.get_header_value("Accept-Encoding");
    for (char& c : accept) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    bool accepted = false;
    for (std::string_view token : split(accept, ',')) {
        while (!token.empty() && token.front() == ' ') {
            token.remove_prefix(1);
        }
        if (token.rfind("gzip", 0) == 0 && token.find("q=0") == std::string_view::npos) {
            accepted = true;
        }
    }
    if (!accepted) {
        return;
    }
    std::string packed = gzip(res.body);
    if (packed.empty()) {
        return;
    }
    res.body = std::move(packed);
    // cpp-httplib has counted the body before this handler runs.
    res.headers.erase("Content-Length");
    res.set_header("Content-Length", std::to_string(res.body.size()));
    res.set_header("Content-Encoding", "gzip");
    res.set_header("Vary", "Accept-Encoding");
}

std::optional<std::int64_t> HttpSupport::idField(const httplib::Request& req,
                                                 const std::string& name, std::string fallback) {
    return parseId(fieldOr(req, name, std::move(fallback)));
}

std::optional<std::int64_t> HttpSupport::requireId(const httplib::Request& req,
                                                   httplib::Response& res,
                                                   const std::string& name) {
    auto id = idField(req, name);
    if (!id) {
        error(res, 400, name + " must be a number");
    }
    return id;
}

std::optional<std::int64_t> HttpSupport::parseId(std::string_view text) {
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-' ||
        text.front() == '+') {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> HttpSupport::split(std::string_view text, char separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const auto at = text.find(separator, start);
        if (at == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            return out;
        }
        out.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::string HttpSupport::urlEncode(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

std::string HttpSupport::base64Decode(std::string_view text, bool* ok) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+' || c == '-')
            return 62;
        if (c == '/' || c == '_')
            return 63;
        return -1;
    };
    // A "+" that travelled unescaped in a query arrives as a space.
    std::string clean;
    for (char c : text) {
        if (c == ' ') {
            clean += '+';
        } else if (c != '=' && c != '\r' && c != '\n') {
            clean += c;
        }
    }
    std::string out;
    int bits = 0, buffer = 0;
    *ok = clean.size() % 4 != 1;
    for (char c : clean) {
        const int v = value(c);
        if (v < 0) {
            *ok = false;
            return {};
        }
        buffer = (buffer << 6) | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return *ok ? out : std::string();
}

std::string HttpSupport::lowerAscii(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace oa

// HTTP plumbing shared by every page: reading form fields (URL-encoded, multipart or query),
// replies with "charset=utf-8", error replies, cookies, and gzip for the replies cpp-httplib does
// not compress itself.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oa {

class HttpSupport {
public:
    // A text field of the request: from a URL-encoded body or the query, else a multipart part
    // without file name. Absent when the request has no such field.
    static std::optional<std::string> field(const httplib::Request& req, const std::string& name);
    static std::string fieldOr(const httplib::Request& req, const std::string& name,
                               std::string fallback = {});
    // A multipart part that carries a file name.
    static std::optional<httplib::MultipartFormData> filePart(const httplib::Request& req,
                                                              const std::string& name);

    static void json(httplib::Response& res, const nlohmann::json& value);
    static void text(httplib::Response& res, std::string body, int status = 200);
    static void html(httplib::Response& res, std::string body, int status = 200);
    // A plain-text error reply "ERROR: <message>": never JSON, so client parsers read it as an
    // empty result.
    static void error(httplib::Response& res, int status, std::string_view message);
    static void htmlError(httplib::Response& res, int status, std::string_view message);

    // JSON text that never throws: invalid UTF-8 in stored texts is replaced.
    static std::string jsonText(const nlohmann::json& value);

    static std::optional<std::string> cookie(const httplib::Request& req, std::string_view name);
    // ASCII letters in lower case, as host names and schemes compare.
    static std::string lowerAscii(std::string text);
    // True for requests from the loopback network.
    static bool fromLoopback(const httplib::Request& req);

    // Compresses a JSON reply with gzip when the request accepts it (cpp-httplib compresses
    // text/* replies itself but leaves application/json alone).
    static void compressJson(const httplib::Request& req, httplib::Response& res);
    static std::string gzip(std::string_view data);

    // Decimal integer without sign, spaces or other characters; absent otherwise or on overflow.
    static std::optional<std::int64_t> parseId(std::string_view text);
    // parseId of a field (or of the fallback when the request has no such field).
    static std::optional<std::int64_t> idField(const httplib::Request& req, const std::string& name,
                                               std::string fallback = {});
    // idField of a field that must be there; otherwise replies 400 "<name> must be a number".
    static std::optional<std::int64_t> requireId(const httplib::Request& req,
                                                 httplib::Response& res, const std::string& name);
    // Splits at every separator, keeping empty pieces.
    static std::vector<std::string> split(std::string_view text, char separator);
    // Percent-encodes everything but unreserved characters.
    static std::string urlEncode(std::string_view text);
    static std::string base64Decode(std::string_view text, bool* ok);
};

}  // namespace oa

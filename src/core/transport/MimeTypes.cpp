// MimeTypes: /etc/mime.types read once, with a built-in fallback for machines without it;
// picture signatures.
#include "core/transport/MimeTypes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace oa {
namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::unordered_map<std::string, std::string> loadTable() {
    std::unordered_map<std::string, std::string> table = {
        {"png", "image/png"},       {"jpg", "image/jpeg"},      {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},       {"amr", "audio/AMR"},       {"wav", "audio/x-wav"},
        {"txt", "text/plain"},      {"html", "text/html"},      {"htm", "text/html"},
        {"pdf", "application/pdf"}, {"zip", "application/zip"}, {"xml", "application/xml"},
    };
    // An extension listed under several types keeps the first.
    std::unordered_map<std::string, std::string> system;
    std::ifstream in("/etc/mime.types");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string type;
        std::string extension;
        words >> type;
        while (words >> extension) {
            system.emplace(lower(extension), type);
        }
    }
    for (auto& [extension, type] : system) {
        table[extension] = std::move(type);
    }
    return table;
}

}  // namespace

std::string MimeTypes::forPath(std::string_view path) {
    static const auto table = loadTable();
    const auto slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) {
        return "application/octet-stream";
    }
    const auto found = table.find(lower(name.substr(dot + 1)));
    return found == table.end() ? "application/octet-stream" : found->second;
}

std::optional<PictureType> MimeTypes::pictureOf(std::string_view firstBytes) {
    using namespace std::string_view_literals;
    if (firstBytes.starts_with("\xFF\xD8\xFF"sv)) {
        return PictureType{"jpg", "image/jpeg"};
    }
    if (firstBytes.starts_with("\x89PNG\r\n\x1A\n"sv)) {
        return PictureType{"png", "image/png"};
    }
    if (firstBytes.starts_with("GIF87a"sv) || firstBytes.starts_with("GIF89a"sv)) {
        return PictureType{"gif", "image/gif"};
    }
    return std::nullopt;
}

std::optional<PictureType> MimeTypes::pictureOfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    return pictureOf(std::string_view(head, static_cast<std::size_t>(in.gcount())));
}

}  // namespace oa

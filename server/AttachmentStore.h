// Attachments kept in the database (no file names from requests ever reach the file system):
// storing, linking to items, the attachment fields of detail replies, who may fetch a file, and
// the "message:" links that the client's web views catch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/Database.h"

namespace oa {

struct AttachmentRef {
    std::int64_t id = 0;
    std::string name;
};

struct StoredFile {
    std::int64_t id = 0;
    std::string name;
    std::string mime;
    std::string data;
};

// Every function expects the caller to hold the database lock.
class AttachmentStore {
public:
    static constexpr std::size_t kMaxNameBytes = 120;

    // The name an uploaded file is stored and listed under, from the file name of its part:
    // without folders; "*" (which separates the names in detail replies), control characters
    // and bytes that are not UTF-8 become "_"; a name longer than kMaxNameBytes keeps its end
    // (and so its extension), cut between characters. Empty when nothing is left.
    static std::string uploadName(std::string_view path);

    static std::int64_t add(Database& db, const std::string& name, const std::string& mime,
                            std::string_view data);
    // Attaches a stored file to an item of a module ("email", "notify", "news", "diary",
    // "file", "message"), after the item's earlier attachments.
    static void link(Database& db, std::string_view module, std::int64_t itemId,
                     std::int64_t attachId);
    static std::vector<AttachmentRef> of(Database& db, std::string_view module,
                                         std::int64_t itemId);

    // "has_attachment", and "attachment_id" / "attachment_name" as the ids each followed by ","
    // and the names each followed by "*".
    static void describe(nlohmann::json& item, const std::vector<AttachmentRef>& refs);

    // Whether the user may fetch the file: it belongs to an item the user can read.
    static bool visibleTo(Database& db, std::int64_t attachId, std::int64_t uid);
    static std::optional<StoredFile> load(Database& db, std::int64_t attachId);
    // The file when it exists, carries the given name and the user may fetch it.
    static std::optional<StoredFile> loadVisible(Database& db, std::int64_t attachId,
                                                 const std::string& name, std::int64_t uid);

    // 1 for pictures, 0 for documents: the category the client's attachment viewer expects.
    static int category(const std::string& name);
    // The server path that serves the file (carries the session, since web views send no
    // cookie of ours).
    static std::string downloadPath(const std::string& sessionId, const AttachmentRef& ref);
    // One attachment as HTML: a "message:" link, and the picture itself for pictures.
    static std::string snippet(const std::string& sessionId, const AttachmentRef& ref);
    // The snippets of all attachments of an item, in order.
    static std::string snippets(Database& db, std::string_view module, std::int64_t itemId,
                                const std::string& sessionId);
};

}  // namespace oa

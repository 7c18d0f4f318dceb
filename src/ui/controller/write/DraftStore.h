// DraftStore: the content of an open editor kept in Documents/drafts/, one JSON file per server,
// user and kind of editor (a reply also per its recipients), so a crash or quit loses nothing.
// Files are replaced atomically and readable by the owner only.
#pragma once

#include <QJsonObject>
#include <filesystem>
#include <optional>
#include <string>

namespace oa {

class DraftStore {
public:
    struct Key {
        std::string server;
        std::string user;
        std::string kind;
        // The sorted recipient ids of a reply; empty for a new item.
        std::string recipients;
    };

    explicit DraftStore(Key key, std::filesystem::path folder = defaultFolder());

    // AppPaths::current().documents() / "drafts".
    static std::filesystem::path defaultFolder();
    // The key of the signed-in user's editor of `kind` (GlobalVar's server and user).
    static Key sessionKey(const std::string& kind, const std::string& recipients = {});

    const Key& key() const { return key_; }
    std::filesystem::path path() const;
    bool exists() const;
    // The stored content, or nothing when there is none, it is unreadable or of another key.
    std::optional<QJsonObject> load() const;
    // Replaces the stored content; false when it could not be written.
    bool save(const QJsonObject& content) const;
    void remove() const;

private:
    Key key_;
    std::filesystem::path folder_;
};

}  // namespace oa

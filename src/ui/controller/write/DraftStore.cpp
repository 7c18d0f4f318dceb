// DraftStore: JSON files written through a temporary file of mode 0600 and a rename.
#include "ui/controller/write/DraftStore.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <system_error>

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"
#include "core/session/GlobalVar.h"

namespace oa {

namespace {

QJsonObject keyObject(const DraftStore::Key& key) {
    return {{QStringLiteral("server"), QString::fromStdString(key.server)},
            {QStringLiteral("user"), QString::fromStdString(key.user)},
            {QStringLiteral("kind"), QString::fromStdString(key.kind)},
            {QStringLiteral("recipients"), QString::fromStdString(key.recipients)}};
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

DraftStore::DraftStore(Key key, std::filesystem::path folder)
    : key_(std::move(key)), folder_(std::move(folder)) {}

std::filesystem::path DraftStore::defaultFolder() {
    return AppPaths::current().documents() / "drafts";
}

DraftStore::Key DraftStore::sessionKey(const std::string& kind, const std::string& recipients) {
    const GlobalVar& session = GlobalVar::getInstance_global();
    return {session.oa().value_or(""), session.uid().value_or(""), kind, recipients};
}

std::filesystem::path DraftStore::path() const {
    const QByteArray id = QJsonDocument(keyObject(key_)).toJson(QJsonDocument::Compact);
    const QByteArray hash = QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex();
    return folder_ / (key_.kind + "-" + hash.left(24).toStdString() + ".json");
}

bool DraftStore::exists() const {
    std::error_code error;
    return std::filesystem::exists(path(), error);
}

std::optional<QJsonObject> DraftStore::load() const {
    QFile file(QString::fromStdString(path().string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const QJsonObject whole = document.object();
    if (whole.value(QStringLiteral("key")).toObject() != keyObject(key_) ||
        !whole.value(QStringLiteral("content")).isObject()) {
        return std::nullopt;
    }
    return whole.value(QStringLiteral("content")).toObject();
}

bool DraftStore::save(const QJsonObject& content) const {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    ::chmod(folder_.c_str(), 0700);
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("key"), keyObject(key_)},
                                                       {QStringLiteral("content"), content}})
                                 .toJson(QJsonDocument::Compact);
    const std::filesystem::path target = path();
    std::string pattern = (folder_ / ".draft-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        log("draft not written: " + target.string());
        return false;
    }
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(pattern.c_str(), target.c_str()) != 0) {
        ::unlink(pattern.c_str());
        log("draft not written: " + target.string());
        return false;
    }
    return true;
}

void DraftStore::remove() const {
    std::error_code ignored;
    std::filesystem::remove(path(), ignored);
}

}  // namespace oa

// AttachmentFiles: download names, the album folder and complete copies.
#include "ui/controller/main/AttachmentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include "core/platform/AppPaths.h"
#include "core/platform/PrivatePath.h"
#include "core/protocol/SafeFileName.h"

namespace oa {

QString AttachmentFiles::safeName(const QString& name) {
    return QString::fromStdString(SafeFileName::of(name.toStdString()));
}

QString AttachmentFiles::newDownloadPath(const QString& attachmentName) {
    const std::filesystem::path tmp = AppPaths::current().temporary();
    std::error_code error;
    std::filesystem::create_directories(tmp, error);
    if (error) {
        return {};
    }
    const QString suffix = QFileInfo(safeName(attachmentName)).suffix();
    QString name = QStringLiteral("attachment-") + QUuid::createUuid().toString(QUuid::Id128);
    if (!suffix.isEmpty()) {
        name += '.' + suffix;
    }
    return QDir(QString::fromStdString(tmp.string())).filePath(name);
}

QString AttachmentFiles::attachmentName(const QString& url) {
    const QUrl address(url);
    const QString named =
        QUrlQuery(address).queryItemValue(QStringLiteral("ATTACHMENT_NAME"), QUrl::FullyDecoded);
    if (!named.isEmpty()) {
        return safeName(named);
    }
    return safeName(address.fileName());
}

bool AttachmentFiles::isFileDownload(const QString& url) {
    const QUrl address(url);
    if (!address.path().endsWith(QStringLiteral("/inc/attach_file.php"))) {
        return false;
    }
    const QString suffix = QFileInfo(attachmentName(url)).suffix().toLower();
    return suffix != QStringLiteral("htm") && suffix != QStringLiteral("html");
}

std::optional<QString> AttachmentFiles::readText(const QString& path) {
    const QFileInfo info(path);
    if (info.suffix().toLower() != QStringLiteral("txt") || info.size() > kMaxTextBytes) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(file.readAll());
    if (utf8.hasError()) {
        return std::nullopt;
    }
    return text;
}

QString AttachmentFiles::albumFolder() {
    const QString album = qEnvironmentVariable("OA_ALBUM");
    if (!album.isEmpty()) {
        return album;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QDir::home().filePath(QStringLiteral("Pictures")) : pictures;
}

QString AttachmentFiles::freePath(const QString& folder, const QString& name) {
    const QDir dir(folder);
    QString candidate = dir.filePath(name);
    const QFileInfo info(name);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : '.' + info.suffix();
    for (int n = 2; QFileInfo::exists(candidate); ++n) {
        candidate = dir.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
    }
    return candidate;
}

bool AttachmentFiles::copyComplete(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(to).absolutePath())) {
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n < 0) {
            target.cancelWriting();
            return false;
        }
        if (n == 0) {
            break;
        }
        if (target.write(buffer, n) != n) {
            target.cancelWriting();
            return false;
        }
    }
    if (!target.commit()) {
        return false;
    }
    // The home's files are private; a copy the user saves elsewhere is an ordinary file of theirs
    // (kept private should the mode not take: the copy itself is complete).
    ::chmod(QFile::encodeName(to).constData(), PrivatePath::exportedFileMode());
    return true;
}

}  // namespace oa

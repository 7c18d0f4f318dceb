// UploadPictures: numbering, encoding and removal of the editors' upload files.
#include "ui/controller/write/UploadPictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <fstream>
#include <system_error>

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"

namespace oa {

std::filesystem::path UploadPictures::folder() {
    return AppPaths::current().temporary();
}

std::filesystem::path UploadPictures::nextPath(const std::filesystem::path& dir) {
    for (int n = 0;; ++n) {
        std::filesystem::path candidate = dir / ("uploadedfile" + std::to_string(n) + ".png");
        // A folder that cannot be looked into ends the search; the write then fails.
        std::error_code error;
        if (!std::filesystem::exists(candidate, error) || error) {
            return candidate;
        }
    }
}

std::optional<std::string> UploadPictures::store(const QImage& picture,
                                                 const std::filesystem::path& dir) {
    if (picture.isNull()) {
        return std::nullopt;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        bytes.clear();
        buffer.seek(0);
        if (!picture.save(&buffer, "JPEG", 100)) {
            return std::nullopt;
        }
    }
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::filesystem::path target = nextPath(dir);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
    out.close();
    if (!out) {
        log("picture not stored: " + target.string());
        std::filesystem::remove(target, error);
        return std::nullopt;
    }
    return target.string();
}

std::optional<std::string> UploadPictures::storeFile(const std::string& source,
                                                     const std::filesystem::path& dir) {
    QImageReader reader(QString::fromStdString(source));
    reader.setAutoTransform(true);
    return store(reader.read(), dir);
}

void UploadPictures::remove(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
}

}  // namespace oa

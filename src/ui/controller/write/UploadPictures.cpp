// UploadPictures: numbering, encoding and removal of the editors' upload files.
#include "ui/controller/write/UploadPictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <fstream>
#include <mutex>
#include <string_view>
#include <system_error>

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/transport/MimeTypes.h"

namespace oa {

namespace {

// A scaled photo at this quality stays near 1 MB and shows no blocks on a phone's screen.
constexpr int kJpegQuality = 90;

// Pictures may be stored from several threads at once; each takes its number under this lock.
std::mutex& numbering() {
    static std::mutex mutex;
    return mutex;
}

// Creates the file of the lowest number that no picture has in `dir`, whatever its extension,
// so that no two pictures share a number. Nothing when `dir` cannot be written.
std::optional<std::filesystem::path> reserve(const std::filesystem::path& dir,
                                             const std::string& extension) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::lock_guard lock(numbering());
    for (int n = 0;; ++n) {
        const std::string stem = "uploadedfile" + std::to_string(n);
        // A folder that cannot be looked into ends the search when the file cannot be created.
        if (std::filesystem::exists(dir / (stem + ".png"), error) ||
            std::filesystem::exists(dir / (stem + ".jpg"), error)) {
            continue;
        }
        const std::filesystem::path candidate = dir / (stem + "." + extension);
        QFile file(QString::fromStdString(candidate.string()));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return candidate;
        }
        if (!file.exists()) {
            return std::nullopt;
        }
    }
}

std::optional<std::string> write(const std::filesystem::path& dir, const std::string& extension,
                                 const QByteArray& bytes) {
    const std::optional<std::filesystem::path> target = reserve(dir, extension);
    if (!target) {
        log("picture not stored: cannot create a file in " + dir.string());
        return std::nullopt;
    }
    std::ofstream out(*target, std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
    out.close();
    if (!out) {
        log("picture not stored: " + target->string());
        std::error_code error;
        std::filesystem::remove(*target, error);
        return std::nullopt;
    }
    return target->string();
}

QByteArray encode(const QImage& picture, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format, quality)) {
        return {};
    }
    return bytes;
}

// At most kScaledSide pixels on the longest side, on white where the picture is transparent
// (JPEG has no transparency).
QImage scaledDown(const QImage& picture) {
    QImage scaled = picture;
    const int side = UploadPictures::kScaledSide;
    if (picture.width() > side || picture.height() > side) {
        scaled = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (!scaled.hasAlphaChannel()) {
        return scaled;
    }
    QImage flat(scaled.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, scaled);
    return flat;
}

std::optional<std::string> storeScaled(const QImage& picture, const std::filesystem::path& dir) {
    const QByteArray jpeg = encode(scaledDown(picture), "JPEG", kJpegQuality);
    if (jpeg.isEmpty() || jpeg.size() >= UploadPictures::kMaxPictureBytes) {
        log("picture not stored: it cannot be encoded small enough");
        return std::nullopt;
    }
    return write(dir, "jpg", jpeg);
}

// The picture's own bytes, when they are a JPEG or PNG file small enough to be sent as they are.
std::optional<std::string> storeAsItIs(const std::string& source,
                                       const std::filesystem::path& dir) {
    QFile file(QString::fromStdString(source));
    if (!file.open(QIODevice::ReadOnly) || file.size() >= UploadPictures::kMaxPictureBytes) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    const std::optional<PictureType> type =
        MimeTypes::pictureOf(std::string_view(bytes.constData(), bytes.size()));
    if (!type || (type->extension != "jpg" && type->extension != "png")) {
        return std::nullopt;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!QImageReader(&buffer).canRead()) {
        return std::nullopt;
    }
    return write(dir, type->extension, bytes);
}

}  // namespace

std::filesystem::path UploadPictures::folder() {
    return AppPaths::current().temporary();
}

std::optional<std::string> UploadPictures::store(const QImage& picture,
                                                 const std::filesystem::path& dir) {
    if (picture.isNull()) {
        return std::nullopt;
    }
    const QByteArray png = encode(picture, "PNG");
    if (!png.isEmpty() && png.size() < kMaxPictureBytes) {
        return write(dir, "png", png);
    }
    return storeScaled(picture, dir);
}

std::optional<std::string> UploadPictures::storeFile(const std::string& source,
                                                     const std::filesystem::path& dir) {
    if (std::optional<std::string> stored = storeAsItIs(source, dir)) {
        return stored;
    }
    QImageReader reader(QString::fromStdString(source));
    reader.setAutoTransform(true);
    const bool large = QFileInfo(reader.fileName()).size() >= kMaxPictureBytes;
    const QSize size = reader.size();
    // A large photo is decoded straight at the size it is sent at, where the format allows.
    if (large && size.isValid() && (size.width() > kScaledSide || size.height() > kScaledSide)) {
        reader.setScaledSize(size.scaled(kScaledSide, kScaledSide, Qt::KeepAspectRatio));
    }
    const QImage picture = reader.read();
    if (picture.isNull()) {
        log("picture not stored: " + source + ": " + reader.errorString().toStdString());
        return std::nullopt;
    }
    return large ? storeScaled(picture, dir) : store(picture, dir);
}

void UploadPictures::storeFileInBackground(const std::string& source,
                                           std::function<void(std::optional<std::string>)> done,
                                           const std::filesystem::path& dir) {
    runInBackground([source, dir, done = std::move(done)]() mutable {
        std::optional<std::string> stored = storeFile(source, dir);
        MainLoop::main().post(
            [done = std::move(done), stored = std::move(stored)] { done(stored); });
    });
}

void UploadPictures::remove(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
}

}  // namespace oa

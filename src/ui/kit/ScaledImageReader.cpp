// ScaledImageReader: the size checks before QImageReader decodes, and the scale it decodes at.
#include "ui/kit/ScaledImageReader.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cmath>

namespace oa {

namespace {

using Picture = ScaledImageReader::Picture;

Picture failed(Picture picture, const QString& why) {
    picture.error = why;
    picture.image = QImage();
    return picture;
}

Picture readFrom(QIODevice* device, const QSize& box) {
    Picture picture;
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        return failed(picture, QStringLiteral("not a picture"));
    }
    // The header's size, read before any pixel.
    const QSize source = reader.size();
    picture.sourceSize = source;
    if (source.isEmpty()) {
        return failed(picture, QStringLiteral("no picture size"));
    }
    if (qint64(source.width()) * source.height() > ScaledImageReader::kMaxSourcePixels) {
        return failed(picture, QStringLiteral("picture of %1 x %2 pixels is too large")
                                   .arg(source.width())
                                   .arg(source.height()));
    }
    const QSize target = ScaledImageReader::decodedSize(source, box);
    if (target != source) {
        reader.setScaledSize(target);
    }
    // JPEG and RGB PNG decoders scale line by line and never hold the whole picture; the
    // others would, and are stopped by QImageReader's allocation limit.
    picture.image = reader.read();
    return picture.image.isNull() ? failed(picture, reader.errorString()) : picture;
}

}  // namespace

QSize ScaledImageReader::decodedSize(const QSize& source, const QSize& box) {
    if (source.isEmpty()) {
        return {};
    }
    const double w = source.width();
    const double h = source.height();
    double scale = 1.0;
    if (!box.isEmpty()) {
        scale = std::min({scale, box.width() / w, box.height() / h});
    }
    scale = std::min(scale, std::sqrt(static_cast<double>(kMaxPixels) / (w * h)));
    if (scale >= 1.0) {
        return source;
    }
    return {std::max(1, static_cast<int>(std::floor(w * scale))),
            std::max(1, static_cast<int>(std::floor(h * scale)))};
}

Picture ScaledImageReader::read(QIODevice* device, const QSize& box) {
    return readFrom(device, box);
}

Picture ScaledImageReader::read(const QString& path, const QSize& box) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failed({}, file.errorString());
    }
    return readFrom(&file, box);
}

}  // namespace oa

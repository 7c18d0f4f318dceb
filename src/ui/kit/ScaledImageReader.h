// Pictures from a server decoded at the size they are drawn, not at the size they claim: a PNG
// of a few kilobytes may hold a picture of 20,000 by 20,000 pixels (1.6 GB once decoded). Usable
// off the main thread (QImage only).
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace oa {

class ScaledImageReader {
public:
    // Larger pictures are not decoded at all: scaling them down still reads every pixel.
    static constexpr qint64 kMaxSourcePixels = qint64(1) << 29;
    // The most pixels a decoded picture may have (64 MB at 4 bytes a pixel).
    static constexpr qint64 kMaxPixels = qint64(16) * 1024 * 1024;

    // The size a picture of `source` pixels is decoded at for `box`: scaled down, keeping its
    // shape, to fit the box and kMaxPixels; never enlarged. Empty for an empty source.
    static QSize decodedSize(const QSize& source, const QSize& box);

    struct Picture {
        QImage image;      // null when the picture could not be had
        QSize sourceSize;  // the picture's own size, as its header gives it
        QString error;     // why the image is null
    };

    // Reads the picture in `device` (or the file at `path`) at decodedSize(its size, box),
    // turned as its metadata says. A null image when it is no picture, larger than
    // kMaxSourcePixels or unreadable.
    static Picture read(QIODevice* device, const QSize& box);
    static Picture read(const QString& path, const QSize& box);
};

}  // namespace oa

// Images: lookup by name, SVG rendering at the device pixel ratio, and a cache per scale.
#include "ui/kit/Images.h"

#include <qpa/qplatformpixmap.h>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <future>
#include <utility>
#include <vector>

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"

namespace oa {

namespace {

QHash<QString, QPixmap>& cache() {
    static QHash<QString, QPixmap> images;  // Main thread only.
    return images;
}

// Images being drawn by prefetchImages, by cache key. Main thread only.
QHash<QString, std::shared_future<QImage>>& pending() {
    static QHash<QString, std::shared_future<QImage>> images;
    return images;
}

// The thread of the last prefetch; joined before the next one starts and at exit.
std::future<void>& prefetcher() {
    static std::future<void> worker;
    return worker;
}

// Any thread: the SVG drawn at `scale` device pixels per point, or a null image.
QImage drawSvg(const QString& path, qreal scale) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return {};
    }
    const QSize points = renderer.defaultSize();
    if (points.isEmpty()) {
        return {};
    }
    const QSize pixels(static_cast<int>(std::ceil(points.width() * scale)),
                       static_cast<int>(std::ceil(points.height() * scale)));
    QImage canvas(pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    return canvas;
}

QPixmap toPixmap(const QImage& drawn, qreal scale) {
    if (drawn.isNull()) {
        return {};
    }
    QPixmap pixmap = QPixmap::fromImage(drawn);
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QPixmap renderSvg(const QString& path, qreal scale) {
    return toPixmap(drawSvg(path, scale), scale);
}

qreal effectiveScale(qreal scale) {
    return scale > 0 ? scale : (qGuiApp ? qGuiApp->devicePixelRatio() : 1);
}

QString cacheKey(const QDir& dir, const QString& name, qreal scale) {
    return dir.path() + QLatin1Char('\n') + name + QLatin1Char('\n') + QString::number(scale);
}

QPixmap loadBitmap(const QString& path, qreal ratio) {
    QPixmap pixmap(path);
    if (!pixmap.isNull()) {
        pixmap.setDevicePixelRatio(ratio);
    }
    return pixmap;
}

QPixmap load(const QDir& dir, const QString& name, qreal scale) {
    const QFileInfo info(name);
    const QString stem = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix();
    const QString svg = dir.filePath(stem + QStringLiteral(".svg"));
    if (QFileInfo::exists(svg)) {
        return renderSvg(svg, scale);
    }
    if (scale > 1) {
        const QString doubled = dir.filePath(stem + QStringLiteral("@2x.") + suffix);
        if (QFileInfo::exists(doubled)) {
            return loadBitmap(doubled, 2);
        }
    }
    for (const QString& file : {dir.filePath(name), dir.filePath(stem + QStringLiteral(".png"))}) {
        if (QFileInfo(file).isFile()) {
            return loadBitmap(file, 1);
        }
    }
    return {};
}

}  // namespace

namespace {

// A name is a plain file name: anything that could leave the images folder finds nothing.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.startsWith(QLatin1Char('.'));
}

QDir imagesDir() {
    return QDir(QString::fromStdString((AppPaths::current().resources() / "images").string()));
}

}  // namespace

QString imageSvgPath(const QString& name) {
    if (!isPlainName(name)) {
        return {};
    }
    const QString svg = imagesDir().filePath(QFileInfo(name).completeBaseName() + ".svg");
    return QFileInfo::exists(svg) ? svg : QString();
}

QPixmap image(const QString& name, qreal scale) {
    scale = effectiveScale(scale);
    if (!isPlainName(name)) {
        log("image: no such image: " + name.toStdString());
        return {};
    }
    const QDir dir = imagesDir();
    const QString key = cacheKey(dir, name, scale);
    auto& images = cache();
    if (auto found = images.constFind(key); found != images.constEnd()) {
        return *found;
    }
    QPixmap pixmap;
    if (auto drawing = pending().find(key); drawing != pending().end()) {
        pixmap = toPixmap(drawing->get(), scale);  // waits while it is still being drawn
        pending().erase(drawing);
    }
    if (pixmap.isNull()) {
        pixmap = load(dir, name, scale);
    }
    if (pixmap.isNull()) {
        log("image: no such image: " + name.toStdString());
        return {};
    }
    images.insert(key, pixmap);
    return pixmap;
}

void prefetchImages(const QStringList& names, qreal scale) {
    scale = effectiveScale(scale);
    const QDir dir = imagesDir();
    std::vector<std::pair<QString, std::promise<QImage>>> work;
    for (const QString& name : names) {
        const QString key = cacheKey(dir, name, scale);
        const QString svg = imageSvgPath(name);
        if (svg.isEmpty() || cache().contains(key) || pending().contains(key)) {
            continue;
        }
        std::promise<QImage> promise;
        pending().insert(key, promise.get_future().share());
        work.emplace_back(svg, std::move(promise));
    }
    if (work.empty()) {
        return;
    }
    if (prefetcher().valid()) {
        prefetcher().wait();
    }
    prefetcher() = std::async(std::launch::async, [work = std::move(work), scale]() mutable {
        for (auto& [svg, promise] : work) {
            promise.set_value(drawSvg(svg, scale));
        }
    });
}

void redrawImages(qreal scale) {
    scale = effectiveScale(scale);
    for (auto& drawing : pending()) {
        drawing.wait();
    }
    pending().clear();
    QHash<QString, QPixmap> redrawn;
    for (auto entry = cache().cbegin(); entry != cache().cend(); ++entry) {
        // The key is "<folder>\n<name>\n<scale>".
        const QStringList parts = entry.key().split(QLatin1Char('\n'));
        if (parts.size() != 3) {
            continue;
        }
        const QDir dir(parts[0]);
        const QString key = cacheKey(dir, parts[1], scale);
        QPixmap kept = entry.value();
        if (!qFuzzyCompare(kept.devicePixelRatio(), scale)) {
            const QPixmap fresh = load(dir, parts[1], scale);
            if (QPlatformPixmap* data = kept.handle(); data && !fresh.isNull()) {
                data->fromImage(fresh.toImage(), Qt::NoFormatConversion);
                data->setDevicePixelRatio(fresh.devicePixelRatio());
            }
        }
        if (!redrawn.contains(key)) {
            redrawn.insert(key, kept);
        }
    }
    cache() = redrawn;
}

void clearImageCache() {
    for (auto& drawing : pending()) {
        drawing.wait();
    }
    pending().clear();
    cache().clear();
}

}  // namespace oa

// AvatarPictures: drawing off the main thread and the cache by name.
#include "ui/controller/lookup/AvatarPictures.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

#include "core/platform/MainLoop.h"
#include "ui/kit/Images.h"

namespace oa {

namespace {

// Runs on a background thread: QImage and QSvgRenderer may be used there.
QImage draw(const QString& svgPath, qreal scale) {
    if (svgPath.isEmpty()) {
        return {};
    }
    QSvgRenderer renderer(svgPath);
    const QSize points = renderer.defaultSize();
    if (!renderer.isValid() || points.isEmpty()) {
        return {};
    }
    QImage canvas(static_cast<int>(std::ceil(points.width() * scale)),
                  static_cast<int>(std::ceil(points.height() * scale)),
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(canvas.size())));
    }
    canvas.setDevicePixelRatio(scale);
    return canvas;
}

}  // namespace

AvatarPictures& AvatarPictures::shared() {
    static auto* instance = new AvatarPictures;  // lives until the process ends
    return *instance;
}

QImage AvatarPictures::picture(const QString& name, qreal scale) {
    const Key key{name, scale};
    if (const auto found = pictures_.find(key); found != pictures_.end()) {
        return found->second;
    }
    if (started_.insert(key).second) {
        // The path is looked up here: the resources folder belongs to the main thread.
        const QString path = imageSvgPath(name);
        const int generation = generation_;
        runInBackground([key, path, generation] {
            QImage drawn = draw(path, key.second);
            MainLoop::main().post([key, generation, drawn = std::move(drawn)] {
                AvatarPictures& pictures = shared();
                if (generation == pictures.generation_) {
                    pictures.finish(key, drawn);
                }
            });
        });
    }
    return {};
}

bool AvatarPictures::isKnown(const QString& name, qreal scale) const {
    return pictures_.count({name, scale}) > 0;
}

void AvatarPictures::finish(const Key& key, const QImage& picture) {
    pictures_[key] = picture;
    emit pictureReady(key.first);
}

void AvatarPictures::clear() {
    pictures_.clear();
    started_.clear();
    ++generation_;
}

}  // namespace oa

// AvatarCache: background fetches and decoding of avatar pictures, kept within a budget.
#include "ui/controller/message/AvatarCache.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPointer>
#include <cmath>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/transport/ASIHTTPRequest.h"
#include "ui/kit/ScaledImageReader.h"

namespace oa {

AvatarCache& AvatarCache::shared() {
    static auto* cache = new AvatarCache;
    return *cache;
}

QPixmap AvatarCache::pixmap(const std::string& address, const QSize& points) {
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(points.width() * dpr)),
                       static_cast<int>(std::ceil(points.height() * dpr)));
    const QString key = QStringLiteral("%1@%2x%3")
                            .arg(QString::fromStdString(address))
                            .arg(pixels.width())
                            .arg(pixels.height());
    if (const QPixmap* found = pictures_.object(key)) {
        return *found;
    }
    if (failed_.count(key) > 0 || !pending_.insert(key).second) {
        return {};
    }
    const QPointer<AvatarCache> guard(this);
    const int generation = generation_;
    runInBackground([address, key, pixels, guard, generation] {
        auto request = ASIHTTPRequest::requestWithURL(address);
        request->startSynchronous();
        const int status = request->responseStatusCode();
        QImage picture;
        if (status >= 200 && status < 300) {
            QByteArray data = QByteArray::fromStdString(request->responseData());
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            ScaledImageReader::Picture read = ScaledImageReader::read(&buffer, pixels);
            if (read.image.isNull()) {
                log("avatar not shown: " + read.error.toStdString());
            }
            picture = std::move(read.image);
        }
        MainLoop::main().post([guard, generation, key, address, picture = std::move(picture)] {
            if (guard && guard->generation_ == generation) {
                guard->finishFetch(key, address, picture);
            }
        });
    });
    return {};
}

void AvatarCache::finishFetch(const QString& key, const std::string& address,
                              const QImage& picture) {
    pending_.erase(key);
    if (picture.isNull()) {
        // No picture: the row keeps its empty spot.
        failed_.insert(key);
        return;
    }
    auto* kept = new QPixmap(QPixmap::fromImage(picture));
    const qsizetype cost = qsizetype(kept->width()) * kept->height() * 4;
    if (!pictures_.insert(key, kept, cost)) {
        return;  // larger than the whole budget: QCache has deleted it
    }
    emit pixmapReady(QString::fromStdString(address));
}

void AvatarCache::clear() {
    pictures_.clear();
    pending_.clear();
    failed_.clear();
    ++generation_;
}

}  // namespace oa

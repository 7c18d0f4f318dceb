// AvatarCache: background fetches of avatar pictures, kept for the run.
#include "ui/controller/message/AvatarCache.h"

#include <QPointer>

#include "core/platform/MainLoop.h"
#include "core/transport/ASIHTTPRequest.h"

namespace oa {

AvatarCache& AvatarCache::shared() {
    static auto* cache = new AvatarCache;
    return *cache;
}

QPixmap AvatarCache::pixmap(const std::string& address) {
    if (const auto found = pictures_.find(address); found != pictures_.end()) {
        return found->second;
    }
    if (!started_.insert(address).second) {
        return {};
    }
    const QPointer<AvatarCache> guard(this);
    const int generation = generation_;
    runInBackground([address, guard, generation] {
        auto request = ASIHTTPRequest::requestWithURL(address);
        request->startSynchronous();
        const int status = request->responseStatusCode();
        std::string data = status >= 200 && status < 300 ? request->responseData() : std::string();
        MainLoop::main().post([guard, generation, address, data = std::move(data)] {
            if (guard && guard->generation_ == generation) {
                guard->finishFetch(address, data);
            }
        });
    });
    return {};
}

void AvatarCache::finishFetch(const std::string& address, const std::string& data) {
    QPixmap picture;
    if (data.empty() || !picture.loadFromData(reinterpret_cast<const uchar*>(data.data()),
                                              static_cast<uint>(data.size()))) {
        // No picture: the row keeps its empty spot.
        return;
    }
    pictures_[address] = picture;
    emit pixmapReady(QString::fromStdString(address));
}

void AvatarCache::clear() {
    pictures_.clear();
    started_.clear();
    ++generation_;
}

}  // namespace oa

// AvatarCache: the partners' pictures fetched from the server. A fetch and its decoding, at the
// size the picture is drawn, run on a thread of their own; the main thread asks and is told when
// a picture arrived. The pictures are kept up to a memory budget; one dropped from it is fetched
// again when next asked for. Main thread only.
#pragma once

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <set>
#include <string>

namespace oa {

class AvatarCache : public QObject {
    Q_OBJECT
public:
    // What the kept pictures may take, in bytes.
    static constexpr qsizetype kMaxBytes = 8 * 1024 * 1024;

    static AvatarCache& shared();

    // The picture at `address`, decoded to fit `points` at the application's pixel density, if
    // it arrived; else an empty picture, and the fetch starts unless one is under way (a failed
    // fetch is not repeated in this run).
    QPixmap pixmap(const std::string& address, const QSize& points);
    // Forgets every picture and every fetch (tests).
    void clear();

signals:
    // A picture arrived for `address`.
    void pixmapReady(const QString& address);

private:
    AvatarCache() : pictures_(kMaxBytes) {}
    void finishFetch(const QString& key, const std::string& address, const QImage& picture);

    QCache<QString, QPixmap> pictures_;  // by address and size, costs in bytes
    std::set<QString> pending_;
    std::set<QString> failed_;
    // Bumped by clear(), so that fetches started before it do not fill the cache again.
    int generation_ = 0;
};

}  // namespace oa

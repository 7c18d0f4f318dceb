// AvatarCache: the partners' pictures fetched from the server, once per address per run. A
// fetch runs on a thread of its own; the main thread asks and is told when a picture arrived.
// Main thread only.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>
#include <map>
#include <set>
#include <string>

namespace oa {

class AvatarCache : public QObject {
    Q_OBJECT
public:
    static AvatarCache& shared();

    // The picture at `address` if it arrived; else an empty picture, and the fetch starts unless
    // one was started before (a failed fetch is not repeated in this run).
    QPixmap pixmap(const std::string& address);
    // Forgets every picture and every fetch (tests).
    void clear();

signals:
    // A picture arrived for `address`.
    void pixmapReady(const QString& address);

private:
    AvatarCache() = default;
    void finishFetch(const std::string& address, const std::string& data);

    std::map<std::string, QPixmap> pictures_;
    std::set<std::string> started_;
    // Bumped by clear(), so that fetches started before it do not fill the cache again.
    int generation_ = 0;
};

}  // namespace oa

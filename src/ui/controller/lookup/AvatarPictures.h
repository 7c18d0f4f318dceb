// AvatarPictures: the person cards' pictures ("avatar0", "avatar1", ...) drawn from their SVG
// sources on a thread of their own, once per name and pixel density, then kept for the run. The
// main thread asks and is told when a picture is ready. Main thread only.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <map>
#include <set>
#include <utility>

namespace oa {

class AvatarPictures : public QObject {
    Q_OBJECT
public:
    static AvatarPictures& shared();

    // The picture called `name` when it has been drawn (a null image for a name without a
    // picture, once that is known); otherwise a null image, and the drawing starts unless it
    // already runs.
    QImage picture(const QString& name, qreal scale);
    // Whether the picture called `name` has been looked up at `scale` (drawn or found missing).
    bool isKnown(const QString& name, qreal scale) const;
    // Forgets every picture (tests).
    void clear();

signals:
    // The picture called `name` was drawn, or found missing.
    void pictureReady(const QString& name);

private:
    using Key = std::pair<QString, qreal>;

    AvatarPictures() = default;
    void finish(const Key& key, const QImage& picture);

    std::map<Key, QImage> pictures_;
    std::set<Key> started_;
    // Bumped by clear(), so that drawings started before it do not fill the cache again.
    int generation_ = 0;
};

}  // namespace oa

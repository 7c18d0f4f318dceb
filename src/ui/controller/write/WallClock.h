// WallClock: today and now for the editors (proposed titles, dates and times). Tests fix it.
#pragma once

#include <QDateTime>
#include <functional>

namespace oa {

class WallClock {
public:
    using Source = std::function<QDateTime()>;

    // Local time now: the system clock unless a source was set. Main thread only.
    static QDateTime now();
    static QDate today() { return now().date(); }
    // Replaces the clock; an empty source restores the system clock.
    static void setSource(Source source);
};

}  // namespace oa

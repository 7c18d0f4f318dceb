// WallClock: the system clock or the one a test fixed.
#include "ui/controller/write/WallClock.h"

namespace oa {

namespace {

WallClock::Source& source() {
    static WallClock::Source clock;
    return clock;
}

}  // namespace

QDateTime WallClock::now() {
    return source() ? source()() : QDateTime::currentDateTime();
}

void WallClock::setSource(Source clock) {
    source() = std::move(clock);
}

}  // namespace oa

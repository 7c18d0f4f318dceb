// NewsNotifier: gathering, the switch, and the way back from a notice.
#include "ui/controller/main/NewsNotifier.h"

#include <QWidget>

#include "core/session/GlobalVar.h"
#include "core/session/PlistManager.h"
#include "ui/platform/DesktopNotifications.h"

namespace oa {

NewsNotifier::NewsNotifier(QWidget* window, Open open, QObject* parent)
    : QObject(parent),
      window_(window),
      open_(std::move(open)),
      notifications_(new DesktopNotifications(this)) {
    gather_.setSingleShot(true);
    connect(&gather_, &QTimer::timeout, this, &NewsNotifier::flush);
    connect(notifications_, &DesktopNotifications::activated, this, &NewsNotifier::activated);
}

NewsNotifier::~NewsNotifier() = default;

bool NewsNotifier::isSwitchedOn() {
    const auto settings = PlistManager().getSetInfo();
    if (!settings) {
        return true;
    }
    const auto it = settings->find(kSwitchKey);
    return it == settings->end() || it->second != "0";
}

bool NewsNotifier::setSwitchedOn(bool on) {
    return PlistManager().updateSetInfo({{kSwitchKey, on ? "1" : "0"}});
}

void NewsNotifier::setPaused(bool paused) {
    paused_ = paused;
    if (paused) {
        gathered_.clear();
        gather_.stop();
    }
}

bool NewsNotifier::wantsNews() const {
    const bool seen =
        window_ && window_->isVisible() && !window_->isMinimized() && window_->isActiveWindow();
    return !seen && !paused_ && isSwitchedOn();
}

void NewsNotifier::add(NewsItem item) {
    if (!wantsNews()) {
        return;
    }
    gathered_.push_back(std::move(item));
    if (!gather_.isActive()) {
        gather_.start(gatherFor_);
    }
}

void NewsNotifier::flush() {
    gather_.stop();
    if (gathered_.empty()) {
        return;
    }
    const QString appName = QString::fromStdString(
        GlobalVar::getInstance_global().app_title().value_or(std::string("OA")));
    shown_ =
        summary(std::exchange(gathered_, {}), appName.isEmpty() ? QStringLiteral("OA") : appName);
    // Read again: the window may have come up, or the switch gone off, while gathering.
    if (wantsNews()) {
        notifications_->show(shown_.title, shown_.body);
    }
}

NewsItem NewsNotifier::summary(const std::vector<NewsItem>& items, const QString& appName) {
    if (items.size() == 1 && items.front().count <= 1) {
        return items.front();
    }
    NewsItem all = items.front();
    all.count = 0;
    for (const NewsItem& item : items) {
        all.count += std::max(1, item.count);
        if (item.title != all.title) {
            all.title = appName;
        }
        if (item.module != all.module || item.personId != all.personId) {
            all.module.clear();
            all.personId.clear();
            all.personName.clear();
        }
    }
    all.body = QStringLiteral("%1 条新消息").arg(all.count);
    return all;
}

QString NewsNotifier::firstLine(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.left(trimmed.indexOf(QLatin1Char('\n'))).trimmed();
}

void NewsNotifier::activated() {
    if (window_) {
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
    }
    if (open_) {
        open_(shown_);
    }
}

}  // namespace oa

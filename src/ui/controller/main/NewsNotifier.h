// NewsNotifier: tells the user on the desktop what pushes brought while the window is not the
// active one: one notice for the news gathered over a few seconds (a burst of pushes makes
// "3 条新消息", not three notices), unless the "新消息通知" switch is off or the tray paused
// notices. Activating the notice raises the window and opens what it was about. Main thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace oa {

class DesktopNotifications;

// One piece of news: what the notice says about it, and what activating the notice opens.
struct NewsItem {
    QString title;           // the module's name, or "微讯 · <sender>"
    QString body;            // the first line of the newest item, as the lists show it
    std::string module;      // the module key; "message" for a conversation
    std::string personId;    // the conversation's partner
    std::string personName;  //
    int count = 1;           // items this news stands for
};

class NewsNotifier : public QObject {
    Q_OBJECT
public:
    using Open = std::function<void(const NewsItem&)>;

    static constexpr std::chrono::milliseconds kGatherFor{3000};
    // The key of the "新消息通知" switch in the settings file: "0" off, anything else on.
    static constexpr char kSwitchKey[] = "new_message_notice";

    // `window`: the client's window, whose being active makes news needless. `open` shows what
    // an activated notice was about, after the window was raised.
    NewsNotifier(QWidget* window, Open open, QObject* parent = nullptr);
    ~NewsNotifier() override;

    static bool isSwitchedOn();
    static bool setSwitchedOn(bool on);

    // Paused from the tray: nothing is shown until resumed; news meanwhile is dropped.
    bool isPaused() const { return paused_; }
    void setPaused(bool paused);

    // Whether news would be shown now. Callers that must fetch something to describe their news
    // ask first.
    bool wantsNews() const;
    // Gathers the news, shown when kGatherFor has passed since the first one gathered.
    void add(NewsItem item);
    // Shows what was gathered now, as one notice.
    void flush();
    void setGatherFor(std::chrono::milliseconds delay) { gatherFor_ = delay; }

    DesktopNotifications& notifications() const { return *notifications_; }

    // The notice for `items` (one at least): the item's own, else "N 条新消息" under their common
    // title, or under `appName` when they differ; activating it opens their common target, if any.
    static NewsItem summary(const std::vector<NewsItem>& items, const QString& appName);
    // The first line of `text`, without surrounding blanks.
    static QString firstLine(const QString& text);

private:
    void activated();

    QPointer<QWidget> window_;
    Open open_;
    DesktopNotifications* notifications_;
    std::vector<NewsItem> gathered_;
    NewsItem shown_;  // what the last notice was about
    QTimer gather_;
    std::chrono::milliseconds gatherFor_ = kGatherFor;
    bool paused_ = false;
};

}  // namespace oa

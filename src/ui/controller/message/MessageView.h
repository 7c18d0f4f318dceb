// MessageView: the conversation page of the main index: one row per partner (avatar, name,
// newest text, time, the unread colour and count) on a pull-down-only table. Loads run in the
// background on a pull-down, on every pushed message notice (shown or hidden), just after a row
// opened its dialog and when a dialog was left; when loads overlap, the one started last decides
// the rows. A failed load keeps the rows and says so. Main thread only.
#pragma once

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/MessageRecords.h"
#include "ui/kit/PullingListPage.h"

namespace oa {

class MessageService;

class MessageView : public PullingListPage {
    Q_OBJECT
public:
    static constexpr qreal kRowHeight = 62.2;
    static constexpr int kBadgeTag = 10023;
    static constexpr std::chrono::milliseconds kPullDelay{1000};
    static constexpr std::chrono::milliseconds kAfterOpenDelay{100};

    // initWithView: the background and the push notice observer.
    explicit MessageView(QWidget* parent = nullptr);
    ~MessageView() override;

    // The main index; not owned.
    MessageService* message_delegate() const { return message_delegate_; }
    void setMessage_delegate(MessageService* delegate) { message_delegate_ = delegate; }

    // Called by the main index once it has sized the page: the table, and the first load.
    void createTableView();

    const std::vector<std::shared_ptr<MessageListVO>>& list() const { return list_; }
    const std::string& state() const { return state_; }

    // The delay between a pull and its load (tests shorten it).
    void setPullDelay(std::chrono::milliseconds delay) { pullDelay_ = delay; }

    // A pushed message notice: reloads as a pull-down would.
    void messageChange();
    // Starts a load in the background now.
    void loadData();
    // A load's records, on the main thread. `serial` orders the loads by their start: a result
    // of a load started before the one shown is dropped. A `failed` exchange leaves the rows.
    void finishData(int serial, std::vector<std::shared_ptr<MessageListVO>> records, bool failed);

    // TableViewDataSource
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    // TableViewDelegate
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    // PullingRefreshTableViewDelegate
    void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView) override;
    std::optional<QDateTime> pullingTableViewRefreshingFinishedDate(
        PullingRefreshTableView* tableView) override;

signals:
    // A load's result reached the page (shown, or dropped as older than the one shown).
    void loadFinished();

private:
    // The content of one row.
    QWidget* createView(const MessageListVO& record) const;

    MessageService* message_delegate_ = nullptr;
    std::vector<std::shared_ptr<MessageListVO>> list_;
    std::string state_;
    std::chrono::milliseconds pullDelay_ = kPullDelay;
    int loadsStarted_ = 0;
    int shownSerial_ = 0;
    ObserverToken messageToken_;
    ObserverToken dialogToken_;
};

}  // namespace oa

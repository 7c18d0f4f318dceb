// SmsView: the reminder page of the main index: one row per pending-affair reminder (text,
// sender, time) on a pull-down-only table. A tap opens the reminder's module or its own page
// through the main index, marks it read in the background and reloads the list a second after
// that ended. When loads overlap, the one started last decides the rows. A reload empties the
// rows while it runs (a tap then does nothing); a failed one brings them back and says so. Main
// thread only.
#pragma once

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/MessageRecords.h"
#include "ui/kit/PullingListPage.h"

namespace oa {

class SmsViewdelegate;

class SmsView : public PullingListPage {
    Q_OBJECT
public:
    static constexpr qreal kRowHeight = 62.2;
    // Between a pull (or refresh) and its load, and between a mark-read and the refresh.
    static constexpr std::chrono::milliseconds kDelay{1000};

    // initWithView.
    explicit SmsView(QWidget* parent = nullptr);
    ~SmsView() override;

    // The main index; not owned.
    SmsViewdelegate* sms_delegate() const { return sms_delegate_; }
    void setSms_delegate(SmsViewdelegate* delegate) { sms_delegate_ = delegate; }

    // Called by the main index once it has sized the page: the table, and the first load.
    void createTableView();

    const std::vector<std::shared_ptr<SmsVO>>& list() const { return list_; }
    // "down" for a pull-down, "up" for the reload after a tap.
    const std::string& state() const { return state_; }

    // Both delays (tests shorten them).
    void setDelay(std::chrono::milliseconds delay) { delay_ = delay; }

    // The reload after a tap: the rows go, and the load starts after the delay.
    void refresh();
    // Starts a load in the background now.
    void loadData();
    // A load's records, on the main thread; `serial` orders loads by their start, `state` is the
    // one the load was started for. A `failed` exchange brings back the rows last shown.
    void finishData(int serial, const std::string& state,
                    std::vector<std::shared_ptr<SmsVO>> records, bool failed);

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
    // The mark-read request of a tapped reminder ended.
    void readFinished();

private:
    QWidget* createView(const SmsVO& record) const;

    SmsViewdelegate* sms_delegate_ = nullptr;
    std::vector<std::shared_ptr<SmsVO>> list_;
    // The rows of the last load that succeeded, for a failed reload to show again.
    std::vector<std::shared_ptr<SmsVO>> shown_;
    std::string state_;
    std::chrono::milliseconds delay_ = kDelay;
    int loadsStarted_ = 0;
    int shownSerial_ = 0;
};

}  // namespace oa

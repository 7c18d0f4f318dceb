// SmsView: the reminder list: loads, rows and taps.
#include "ui/controller/reminder/SmsView.h"

#include <QTimer>

#include "core/platform/MainLoop.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/SmsBO.h"
#include "ui/controller/message/PlainRowCell.h"
#include "ui/controller/reminder/SmsViewdelegate.h"

namespace oa {

namespace {

QString text(const Text& value) {
    return QString::fromStdString(value.value_or(""));
}

}  // namespace

SmsView::SmsView(QWidget* parent) : PullingListPage(parent) {
    setObjectName(QStringLiteral("smsView"));
}

SmsView::~SmsView() = default;

void SmsView::createTableView() {
    createPullingTable(QStringLiteral("smsTable"), kRowHeight);
}

// --- Loads

void SmsView::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
    list_.clear();
    state_ = "down";
    QTimer::singleShot(delay_, this, [this] { loadData(); });
}

void SmsView::refresh() {
    list_.clear();
    state_ = "up";
    QTimer::singleShot(delay_, this, [this] { loadData(); });
}

std::optional<QDateTime> SmsView::pullingTableViewRefreshingFinishedDate(PullingRefreshTableView*) {
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute()));
    return now;
}

void SmsView::loadData() {
    const int serial = ++loadsStarted_;
    const std::string state = state_;
    const QPointer<SmsView> guard(this);
    runInBackground([guard, serial, state] {
        auto records = SmsBO().getSmsInfo();
        // Asked on this thread, right after the request: an empty list does not tell.
        const bool failed = HttpRequest::lastFailure().has_value();
        MainLoop::main().post(
            [guard, serial, state, failed, records = std::move(records)]() mutable {
                if (guard) {
                    guard->finishData(serial, state, std::move(records), failed);
                }
            });
    });
}

void SmsView::finishData(int serial, const std::string& state,
                         std::vector<std::shared_ptr<SmsVO>> records, bool failed) {
    if (serial < shownSerial_) {
        emit loadFinished();
        return;
    }
    shownSerial_ = serial;
    if (failed) {
        list_ = shown_;
        if (tableView_) {
            tableView_->reloadData();
            tableView_->finishLoadingOrFlash(QStringLiteral("网络异常，加载信息失败！"));
        }
        emit loadFinished();
        return;
    }
    list_ = std::move(records);
    shown_ = list_;
    if (tableView_) {
        tableView_->reloadData();
        if (!list_.empty()) {
            tableView_->tableViewDidFinishedLoading();
        } else {
            const QString message =
                state == "up" ? QStringLiteral("没有更早的数据！") : QStringLiteral("无最新数据！");
            // The reload after a tap holds no header open: the strip shows all the same.
            if (tableView_->isLoading()) {
                tableView_->tableViewDidFinishedLoadingWithMessage(message);
            } else {
                tableView_->flashMessage(message);
            }
        }
    }
    emit loadFinished();
}

// --- Table

int SmsView::numberOfRowsInSection(TableView*, int) {
    return static_cast<int>(list_.size());
}

TableViewCell* SmsView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    auto* cell = qobject_cast<PlainRowCell*>(
        tableView->dequeueReusableCellWithIdentifier(PlainRowCell::identifier()));
    if (!cell) {
        cell = new PlainRowCell;
    }
    const auto row = static_cast<std::size_t>(path.row);
    const bool shown = row < list_.size() && list_[row];
    cell->setRowView(shown ? createView(*list_[row]) : nullptr);
    cell->setAccessoryType(shown ? TableViewCell::AccessoryType::DisclosureIndicator
                                 : TableViewCell::AccessoryType::None);
    return cell;
}

QWidget* SmsView::createView(const SmsVO& record) const {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("smsRow"));
    row->resize(320, 61);
    // As wide as the row allows before the chevron: reminders share a long lead ("请查看内部新闻！
    // 标题：") and differ only after it.
    rowLabel(row, QRect(15, 8, 265, 20), 16, 0.2, Qt::AlignLeft, text(record.content))
        ->setObjectName(QStringLiteral("content"));
    rowLabel(row, QRect(15, 35, 200, 20), 12, 0.498, Qt::AlignLeft, text(record.from_name))
        ->setObjectName(QStringLiteral("from"));
    rowLabel(row, QRect(55, 35, 100, 20), 12, 0.498, Qt::AlignRight, text(record.time))
        ->setObjectName(QStringLiteral("time"));
    return row;
}

qreal SmsView::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

void SmsView::didSelectRowAtIndexPath(TableView*, const IndexPath& path) {
    const auto row = static_cast<std::size_t>(path.row);
    if (row >= list_.size() || !list_[row]) {
        // The rows are gone while a reload runs.
        return;
    }
    const std::shared_ptr<SmsVO> record = list_[row];
    if (sms_delegate_) {
        if (const auto target =
                ModuleCatalogue::reminderModule(std::string_view(record->sms_type.value_or("")))) {
            sms_delegate_->ChoiceFunc(target->key, target->title);
        } else {
            sms_delegate_->showSmsViewWith(record->sms_url.value_or(""));
        }
    }
    // Marked read off the main thread; the list reloads a second after that ended.
    const QPointer<SmsView> guard(this);
    const Text smsId = record->q_id;
    runInBackground([guard, smsId] {
        HttpRequest().readSms(smsId);
        MainLoop::main().post([guard] {
            if (guard) {
                emit guard->readFinished();
                QTimer::singleShot(guard->delay_, guard.data(), [guard] {
                    if (guard) {
                        guard->refresh();
                    }
                });
            }
        });
    });
}

}  // namespace oa

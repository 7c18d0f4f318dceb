// MessageView: the conversation list: loads, rows, avatars and taps.
#include "ui/controller/message/MessageView.h"

#include <QTimer>

#include "core/platform/MainLoop.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/MessageBO.h"
#include "core/push/UDPListener.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ServerAddress.h"
#include "ui/controller/message/AvatarCache.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageService.h"
#include "ui/controller/message/PlainRowCell.h"
#include "ui/kit/Images.h"
#include "ui/kit/JSBadgeView.h"
#include "ui/kit/ViewTags.h"

namespace oa {

namespace {

QString text(const Text& value) {
    return QString::fromStdString(value.value_or(""));
}

// The avatar's place in a row, in points.
constexpr QSize kAvatarSize(40, 40);

// The picture of `avatar`: the two built-in ones, else the server's through the cache.
QPixmap avatarPicture(const std::string& avatar) {
    if (avatar == "0") {
        return image(QStringLiteral("avatar0.png"));
    }
    if (avatar == "1") {
        return image(QStringLiteral("avatar1.png"));
    }
    const GlobalVar& session = GlobalVar::getInstance_global();
    const auto address = serverAddress(session.oa().value_or(""), avatar);
    if (!address) {
        return {};
    }
    return AvatarCache::shared().pixmap(*address + "&P=" + session.session_id().value_or(""),
                                        kAvatarSize);
}

}  // namespace

MessageView::MessageView(QWidget* parent) : PullingListPage(parent) {
    setObjectName(QStringLiteral("messageView"));
    // Notices come on the push channel's thread; the reload runs on the main thread.
    const QPointer<MessageView> guard(this);
    messageToken_ = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kMessageUdpResult, [guard](const Notification&) {
            MainLoop::main().post([guard] {
                if (guard) {
                    guard->messageChange();
                }
            });
        });
    // Posted on the main thread; what was sent there shows in its row.
    dialogToken_ = NotificationCenter::defaultCenter().addObserver(MessageController::kDialogLeft,
                                                                   [guard](const Notification&) {
                                                                       if (guard) {
                                                                           guard->loadData();
                                                                       }
                                                                   });
    connect(&AvatarCache::shared(), &AvatarCache::pixmapReady, this, [this] {
        if (tableView_) {
            tableView_->reloadData();
        }
    });
}

MessageView::~MessageView() {
    messageToken_ = ObserverToken();
    dialogToken_ = ObserverToken();
}

void MessageView::createTableView() {
    createPullingTable(QStringLiteral("messageTable"), kRowHeight);
}

// --- Loads

void MessageView::messageChange() {
    if (!tableView_) {
        return;
    }
    if (tableView_->isLoading()) {
        // The header is open for a load that may have been answered before this message came:
        // another load follows it, or the notice would be lost.
        QTimer::singleShot(pullDelay_, this, [this] { loadData(); });
        return;
    }
    tableView_->launchRefreshing();
}

void MessageView::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
    state_ = "down";
    QTimer::singleShot(pullDelay_, this, [this] { loadData(); });
}

std::optional<QDateTime> MessageView::pullingTableViewRefreshingFinishedDate(
    PullingRefreshTableView*) {
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute()));
    return now;
}

void MessageView::loadData() {
    const int serial = ++loadsStarted_;
    const QPointer<MessageView> guard(this);
    runInBackground([guard, serial] {
        auto records = MessageBO().getMessageInfo();
        // Asked on this thread, right after the request: an empty list does not tell.
        const bool failed = HttpRequest::lastFailure().has_value();
        MainLoop::main().post([guard, serial, failed, records = std::move(records)]() mutable {
            if (guard) {
                guard->finishData(serial, std::move(records), failed);
            }
        });
    });
}

void MessageView::finishData(int serial, std::vector<std::shared_ptr<MessageListVO>> records,
                             bool failed) {
    if (serial < shownSerial_) {
        // A newer load already decided the rows.
        emit loadFinished();
        return;
    }
    shownSerial_ = serial;
    if (failed) {
        if (tableView_) {
            tableView_->finishLoadingOrFlash(QStringLiteral("网络异常，加载信息失败！"));
        }
        emit loadFinished();
        return;
    }
    list_ = std::move(records);
    if (tableView_) {
        if (!list_.empty()) {
            tableView_->tableViewDidFinishedLoading();
            tableView_->reloadData();
        } else {
            // No rows left to tap: the table shows none either.
            tableView_->reloadData();
            const QString message = QStringLiteral("无最新数据！");
            if (tableView_->isLoading()) {
                tableView_->tableViewDidFinishedLoadingWithMessage(message);
            } else if (state_ == "down") {
                tableView_->flashMessage(message);
            }
        }
    }
    emit loadFinished();
}

// --- Table

int MessageView::numberOfRowsInSection(TableView*, int) {
    return static_cast<int>(list_.size());
}

TableViewCell* MessageView::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    auto* cell = qobject_cast<PlainRowCell*>(
        tableView->dequeueReusableCellWithIdentifier(PlainRowCell::identifier()));
    if (!cell) {
        cell = new PlainRowCell;
    }
    const auto row = static_cast<std::size_t>(path.row);
    cell->setRowView(row < list_.size() && list_[row] ? createView(*list_[row]) : nullptr);
    return cell;
}

QWidget* MessageView::createView(const MessageListVO& record) const {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("messageRow"));
    row->resize(320, 61);
    if (record.read_flag.value_or("") == "0") {
        row->setAutoFillBackground(true);
        QPalette palette = row->palette();
        palette.setColor(QPalette::Window, QColor(251, 230, 133));
        row->setPalette(palette);
    }

    auto* avatar = new QLabel(row);
    avatar->setObjectName(QStringLiteral("avatar"));
    avatar->setGeometry(QRect(QPoint(15, 8), kAvatarSize));
    avatar->setScaledContents(true);
    avatar->setPixmap(avatarPicture(record.avatar.value_or("")));

    rowLabel(row, QRect(65, 8, 205, 20), 16, 0.2, Qt::AlignLeft, text(record.q_name))
        ->setObjectName(QStringLiteral("name"));
    rowLabel(row, QRect(65, 35, 200, 20), 12, 0.498, Qt::AlignLeft, text(record.content))
        ->setObjectName(QStringLiteral("content"));
    rowLabel(row, QRect(200, 8, 100, 20), 12, 0.498, Qt::AlignRight, text(record.send_time))
        ->setObjectName(QStringLiteral("time"));

    const std::string unread = record.unread_num.value_or("");
    if (!unread.empty() && unread != "0") {
        auto* spot = new QWidget(row);
        spot->setObjectName(QStringLiteral("badgeSpot"));
        spot->setGeometry(265, 35, 20, 20);
        auto* badge = new JSBadgeView(spot);
        badge->setBadgeText(QString::fromStdString(unread));
        setTag(badge, kBadgeTag);
    }
    return row;
}

qreal MessageView::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

void MessageView::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    const auto row = static_cast<std::size_t>(path.row);
    if (row >= list_.size() || !list_[row]) {
        return;
    }
    const std::shared_ptr<MessageListVO> record = list_[row];
    // The unread colour and count go at once, before the reload confirms it.
    if (auto* cell = qobject_cast<PlainRowCell*>(tableView->cellForRowAtIndexPath(path))) {
        if (QWidget* content = cell->rowView()) {
            content->setAutoFillBackground(false);
            if (QWidget* badge = viewWithTag(content, kBadgeTag)) {
                badge->hide();
            }
        }
    }
    if (message_delegate_) {
        message_delegate_->enterMessage(record->q_id.value_or(""), record->q_name.value_or(""));
    }
    QTimer::singleShot(kAfterOpenDelay, this, [this] { loadData(); });
}

}  // namespace oa

// MessageController: loading, sending, push notices, the keyboard and voice playback.
#include "ui/controller/message/MessageController.h"

#include <QEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPainter>
#include <QPropertyAnimation>
#include <nlohmann/json.hpp>

#include "core/platform/MainLoop.h"
#include "core/protocol/ExchangeFailure.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/JsonOperation.h"
#include "core/protocol/MessageBO.h"
#include "core/protocol/ReplyText.h"
#include "core/push/UDPListener.h"
#include "core/transport/ASIFormDataRequest.h"
#include "ui/controller/message/UIBubbleTableView.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/voice/VoiceRecording.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/platform/AudioPlayer.h"
#include "ui/platform/AudioStack.h"

namespace oa {

namespace {

// The screen's root: the "otherbackground.png" pattern, and a content widget that follows its
// size (the keyboard moves that content, not the screen).
class DialogView : public QWidget {
public:
    explicit DialogView(std::function<void()> layout) : layout_(std::move(layout)) {
        setObjectName(QStringLiteral("dialogView"));
        pattern_ = image(QStringLiteral("otherbackground.png"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!pattern_.isNull()) {
            painter.drawTiledPixmap(rect(), pattern_);
        }
    }
    void resizeEvent(QResizeEvent*) override { layout_(); }

private:
    std::function<void()> layout_;
    QPixmap pattern_;
};

// Whether a cleaned dialog reply is one the parser reads as a conversation: a JSON array, or
// one of the empty-page words. Anything else (an error page, a broken reply) is a failure.
bool isConversationReply(const std::string& reply) {
    if (reply == "NOMOREDATA" || reply == "NONEWDATA") {
        return true;
    }
    const auto json = nlohmann::json::parse(cleanDialogReply(reply), nullptr, false);
    return !json.is_discarded() && json.is_array();
}

QString qtext(const Text& text) {
    return QString::fromStdString(text.value_or(""));
}

}  // namespace

MessageController::MessageController(QObject* parent) : ViewController(parent) {
    setCustomBackButton();
}

MessageController::~MessageController() {
    if (request_) {
        request_->clearDelegatesAndCancel();
    }
    if (bubbleTable_) {
        bubbleTable_->setBubbleDataSource(nullptr);
    }
}

void MessageController::setQ_name(const std::string& name) {
    q_name_ = name;
    setTitle(QStringLiteral("与 <%1> 的对话").arg(QString::fromStdString(name)));
}

void MessageController::loadView() {
    auto* root = new DialogView([this] { layoutContent(); });
    content_ = new QWidget(root);
    content_->setObjectName(QStringLiteral("dialogContent"));

    bubbleTable_ = new UIBubbleTableView(content_);
    bubbleTable_->setBackgroundColor(Qt::transparent);
    bubbleTable_->setBubbleDataSource(this);
    bubbleTable_->installEventFilter(this);
    connect(bubbleTable_, &UIBubbleTableView::voiceBubbleTapped, this,
            [this](NSBubbleDataPtr data, bool) { playVoice(data); });

    inputToolbar_ = new UIInputToolbar(content_);
    inputToolbar_->setDelegate(this);
    inputToolbar_->textView()->installEventFilter(this);
    // Ctrl+Enter anywhere on the screen is "发送", as on the writing screens.
    setSendButton(inputToolbar_->inputButton());
    recording_ = new VoiceRecording(inputToolbar_->recordButton(), root, this);
    connect(recording_, &VoiceRecording::recordFinished, this, &MessageController::recordFinished);
    setView(root);

    // Notices come on the push channel's thread; the handling runs on the main thread.
    const QPointer<MessageController> guard(this);
    messageToken_ = NotificationCenter::defaultCenter().addObserver(
        UDPListener::kMessageUdpResult, [guard](const Notification&) {
            MainLoop::main().post([guard] {
                if (guard) {
                    guard->messageChange();
                }
            });
        });

    ProgressHUD::showWithStatus(QStringLiteral("加载中..."));
    loadingShown_ = true;
    clickToRefresh();
}

void MessageController::layoutContent() {
    QWidget* root = view();
    if (!content_ || !root) {
        return;
    }
    const int height = root->height();
    content_->setGeometry(0, content_->y(), root->width(), height);
    // The timeline ends one point above the input bar (no status bar: the view is all ours).
    bubbleTable_->setGeometry(0, 0, root->width(), std::max(0, height - kNavigationBarHeight));
    const int barHeight = inputToolbar_->height();
    inputToolbar_->setGeometry(0, height - barHeight, root->width(), barHeight);
}

int MessageController::contentOffset() const {
    return content_ ? content_->y() : 0;
}

void MessageController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
    if (!rightBarButtonItem()) {
        const QPixmap picture = image(QStringLiteral("refresh.png"));
        const QSizeF size = picture.deviceIndependentSize() / 1.7;
        auto* refresh = new BarButton(QString(), QStringLiteral("refresh.png"), size.toSize());
        refresh->setObjectName(QStringLiteral("refreshButton"));
        refresh->setAccessibleName(QStringLiteral("刷新"));
        connect(refresh, &QPushButton::clicked, this, &MessageController::clickToRefresh);
        setRightBarButtonItem(refresh);
    }
}

void MessageController::viewDidDisappear(bool) {
    // Only this screen's own load: other screens' requests in the shared queue go on.
    if (request_) {
        request_->clearDelegatesAndCancel();
        request_.reset();
    }
    if (recording_) {
        recording_->cancel();
    }
    stopPlayback(true);
    loadingShown_ = false;
    ProgressHUD::dismiss();
    NotificationCenter::defaultCenter().post(kDialogLeft);
}

void MessageController::getBackDetailInfo() {
    startLoad(false);
}

void MessageController::startLoad(bool keepPosition) {
    if (request_) {
        // The newer load decides what shows.
        request_->clearDelegatesAndCancel();
    }
    keepPosition_ = keepPosition;
    request_ = HttpRequest::messageDetailRequest(q_id_);
    request_->setDelegate(static_cast<ASIHTTPRequestDelegate*>(this));
    request_->startAsynchronous();
}

void MessageController::requestFinished(ASIHTTPRequest& request) {
    if (request_.get() != &request) {
        return;
    }
    if (ExchangeFailure::of(request)) {
        failLoad();
        return;
    }
    const std::string reply = request.responseString();
    if (!isConversationReply(reply)) {
        failLoad();
        return;
    }
    request_.reset();
    toMainLoadData(JsonOperation().getMessageDetail(reply));
    showConversation(keepPosition_);
    // Only the first load's indicator goes: a reload leaves, say, a failed send's message be.
    if (loadingShown_) {
        loadingShown_ = false;
        ProgressHUD::dismiss();
    }
    emit loadFinished(true);
}

void MessageController::requestFailed(ASIHTTPRequest& request) {
    if (request_.get() == &request) {
        failLoad();
    }
}

void MessageController::failLoad() {
    request_.reset();
    loadingShown_ = false;
    ProgressHUD::dismissWithError(QStringLiteral("获取微讯失败"));
    emit loadFinished(false);
}

void MessageController::toMainLoadData(
    const std::vector<std::shared_ptr<MessageDetailVO>>& records) {
    std::vector<NSBubbleDataPtr> bubbles;
    bubbles.reserve(records.size());
    // The reply's last record goes on top.
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const MessageDetailVO& record = **it;
        const int type = record.msg_from == "0" ? NSBubbleData::SomeoneElse : NSBubbleData::Mine;
        if (record.isvoicemsg == "1") {
            bubbles.push_back(NSBubbleData::dataWithDuration(
                qtext(record.duration), qtext(record.send_time), type, qtext(record.attachment_id),
                qtext(record.attachment_name), qtext(record.avatar)));
        } else {
            bubbles.push_back(NSBubbleData::dataWithText(
                qtext(record.content), qtext(record.send_time), type, qtext(record.avatar)));
        }
    }
    data_arr_ = std::move(bubbles);
}

void MessageController::showConversation(bool keepPosition) {
    if (!bubbleTable_) {
        return;
    }
    // Someone reading further up is not pulled away by the partner's new message.
    const bool atBottom = bubbleTable_->contentOffset() >= bubbleTable_->maximumContentOffset() - 1;
    bubbleTable_->reloadData();
    if (keepPosition && !atBottom) {
        return;
    }
    const int sections = bubbleTable_->numberOfSections();
    if (sections > 0) {
        const IndexPath bottom{sections - 1, 0};
        bubbleTable_->selectRowAtIndexPath(bottom, true, TableView::ScrollPosition::Bottom);
        bubbleTable_->scrollToRowAtIndexPath(bottom, TableView::ScrollPosition::Bottom, true);
    }
}

int MessageController::rowsForBubbleTable(UIBubbleTableView*) {
    return static_cast<int>(data_arr_.size());
}

NSBubbleDataPtr MessageController::bubbleTableViewDataForRow(UIBubbleTableView*, int row) {
    return data_arr_.at(static_cast<size_t>(row));
}

void MessageController::inputButtonPressed(const QString& text) {
    const QPointer<MessageController> guard(this);
    const std::string partner = q_id_;
    runInBackground([guard, partner, text] {
        const bool ok = MessageBO().sendSignleMsg(partner, text.toStdString());
        MainLoop::main().post([guard, ok, text] {
            if (guard) {
                guard->finishSend(ok, text);
            }
        });
    });
}

void MessageController::finishSend(bool ok, const QString& text) {
    if (!ok) {
        ProgressHUD::dismissWithError(QStringLiteral("发送失败"));
        // The text comes back unless something new was typed meanwhile.
        if (inputToolbar_ && !text.isEmpty() && inputToolbar_->textView()->text().isEmpty()) {
            inputToolbar_->textView()->setText(text);
        }
    }
    getBackDetailInfo();
    emit sendFinished(ok);
}

void MessageController::recordFinished(int duration, const QString& amrPath) {
    ++voiceSends_;
    if (recording_) {
        recording_->setBlocked(true);
    }
    const QPointer<MessageController> guard(this);
    const std::string partner = q_id_;
    runInBackground([guard, partner, duration, amrPath] {
        const bool ok =
            MessageBO().sendVoiceMsg(partner, std::to_string(duration), amrPath.toStdString()).ok;
        MainLoop::main().post([guard, ok] {
            if (!guard) {
                return;
            }
            if (--guard->voiceSends_ == 0 && guard->recording_) {
                guard->recording_->setBlocked(false);
            }
            if (!ok) {
                ProgressHUD::dismissWithError(QStringLiteral("发送失败"));
            }
            guard->getBackDetailInfo();
            emit guard->sendFinished(ok);
        });
    });
}

void MessageController::messageChange() {
    const QPointer<MessageController> guard(this);
    const std::string partner = q_id_;
    runInBackground([guard, partner] {
        // The notice may be about another conversation; the newest message sent to the user
        // would not tell about the partner's when someone else wrote after them.
        bool came = false;
        for (const auto& row : MessageBO().getMessageInfo()) {
            if (row && row->q_id == partner) {
                came = integerValue(row->unread_num.value_or("")) > 0;
                break;
            }
        }
        MainLoop::main().post([guard, came] {
            if (!guard) {
                return;
            }
            if (came) {
                guard->startLoad(true);
            }
            emit guard->pushHandled(came);
        });
    });
}

void MessageController::moveContent(int y) {
    if (!content_) {
        return;
    }
    if (keyboardAnimation_) {
        keyboardAnimation_->stop();
    }
    auto* animation = new QPropertyAnimation(content_, "pos", content_);
    animation->setDuration(kKeyboardAnimationMs);
    animation->setEndValue(QPoint(0, y));
    keyboardAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void MessageController::keyboardWillShow(int height) {
    keyboardIsVisible_ = true;
    moveContent(-height);
}

void MessageController::keyboardWillHide() {
    keyboardIsVisible_ = false;
    moveContent(0);
}

QWidget* MessageController::preferredFocusWidget() const {
    return inputToolbar_ ? inputToolbar_->textView() : nullptr;
}

void MessageController::returnkeyboard() {
    if (inputToolbar_) {
        inputToolbar_->textView()->clearFocus();
    }
    if (keyboardIsVisible_) {
        keyboardWillHide();
    }
}

bool MessageController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bubbleTable_ && event->type() == QEvent::MouseButtonRelease) {
        returnkeyboard();
    } else if (inputToolbar_ && watched == inputToolbar_->textView()) {
        // The on-screen keyboard's height, 0 where there is none (a desktop).
        if (event->type() == QEvent::FocusIn) {
            const QRectF keyboard = QGuiApplication::inputMethod()->keyboardRectangle();
            keyboardWillShow(static_cast<int>(keyboard.height()));
        } else if (event->type() == QEvent::FocusOut && keyboardIsVisible_) {
            keyboardWillHide();
        }
    }
    return ViewController::eventFilter(watched, event);
}

void MessageController::playVoice(const NSBubbleDataPtr& data) {
    if (!player_) {
        player_ = AudioStack::makePlayer(this);
        connect(player_, &AudioPlayer::finished, this, [this](bool ok) { stopPlayback(ok); });
    }
    player_->stop();
    const unsigned generation = ++playGeneration_;
    const QPointer<MessageController> guard(this);
    const std::string id = data->attachment_id().toStdString();
    const std::string name = data->attachment_name().toStdString();
    runInBackground([guard, generation, id, name] {
        auto path = MessageBO().getVoiceMessageAttachment_id(id, name);
        MainLoop::main().post([guard, generation, path = std::move(path)] {
            if (!guard || generation != guard->playGeneration_) {
                return;
            }
            if (!path || !guard->player_) {
                guard->stopPlayback(false);
                return;
            }
            guard->player_->play(QString::fromStdString(*path));
        });
    });
}

void MessageController::stopPlayback(bool ok) {
    const bool wasPlaying = bubbleTable_ && bubbleTable_->isPlaying();
    ++playGeneration_;
    if (player_) {
        player_->stop();
    }
    if (bubbleTable_) {
        bubbleTable_->stopPlayAnimation();
    }
    if (!ok) {
        ProgressHUD::dismissWithError(QStringLiteral("播放失败"));
    }
    if (wasPlaying || !ok) {
        emit playbackFinished(ok);
    }
}

}  // namespace oa

// MessageController: the dialog with one person, opened from the conversation list with the
// person's id and name. A timeline of bubbles (the reply's last message on top) above the input
// bar; texts and recordings are sent off the main thread and the conversation reloads after
// each, on the refresh button and when a push notice brings a message of the partner's (a
// reload that keeps the timeline where it was scrolled unless it was at its bottom). Only the
// last load started shows its result; leaving the screen cancels that load (nothing else), stops
// a recording (nothing is sent) and the playback, and posts kDialogLeft.
#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/MessageRecords.h"
#include "core/transport/ASIHTTPRequestDelegate.h"
#include "ui/controller/message/NSBubbleData.h"
#include "ui/controller/message/UIBubbleTableView.h"
#include "ui/controller/message/UIBubbleTableViewDataSource.h"
#include "ui/controller/message/UIInputToolbar.h"
#include "ui/controller/voice/VoiceRecording.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/ViewController.h"
#include "ui/platform/AudioPlayer.h"

class QPropertyAnimation;

namespace oa {

class ASIFormDataRequest;

class MessageController : public ViewController,
                          public UIBubbleTableViewDataSource,
                          public UIInputToolbarDelegate,
                          public ASIHTTPRequestDelegate {
    Q_OBJECT
public:
    static constexpr int kKeyboardAnimationMs = 300;
    static constexpr int kNavigationBarHeight = 44;
    // Posted on the main thread when a dialog was left: its sends change the conversation list.
    static constexpr char kDialogLeft[] = "messageDialogLeft";

    explicit MessageController(QObject* parent = nullptr);
    ~MessageController() override;

    const std::string& q_id() const { return q_id_; }
    void setQ_id(const std::string& id) { q_id_ = id; }
    const std::string& q_name() const { return q_name_; }
    void setQ_name(const std::string& name);

    UIBubbleTableView* bubbleTable() const { return bubbleTable_; }
    UIInputToolbar* inputToolbar() const { return inputToolbar_; }
    // The input field: a conversation opened from the keyboard takes typing at once.
    QWidget* preferredFocusWidget() const override;
    VoiceRecording* recording() const { return recording_; }
    // The bubbles shown, top to bottom.
    const std::vector<NSBubbleDataPtr>& bubbleData() const { return data_arr_; }
    bool keyboardIsVisible() const { return keyboardIsVisible_; }
    // Where the screen's content sits: 0, or minus the keyboard's height while it shows.
    int contentOffset() const;
    // A load of the conversation is under way.
    bool isLoading() const { return request_ != nullptr; }
    // A voice message is being uploaded (no new recording starts meanwhile).
    bool isSendingVoice() const { return voiceSends_ > 0; }

    // Starts a load of the conversation, cancelling one still pending.
    void clickToRefresh() { getBackDetailInfo(); }
    void getBackDetailInfo();

    // Sends a text off the main thread, then reloads; a failed send shows "发送失败" and puts
    // the text back into the field when it is still empty.
    void inputButtonPressed(const QString& text) override;
    // Sends a recording off the main thread, then reloads.
    void recordFinished(int duration, const QString& amrPath);
    // A push notice, which names no sender: fetches the conversation list and reloads the
    // conversation when the partner's row counts unread messages (the dialog's own loads mark
    // them read, so they came since).
    void messageChange();

    void keyboardWillShow(int height);
    void keyboardWillHide();
    // A tap on the timeline: the keyboard goes.
    void returnkeyboard();

    // Downloads and plays the tapped voice bubble; the timeline's animation stops at the end,
    // however it ends.
    void playVoice(const NSBubbleDataPtr& data);

    int rowsForBubbleTable(UIBubbleTableView* tableView) override;
    NSBubbleDataPtr bubbleTableViewDataForRow(UIBubbleTableView* tableView, int row) override;

    void requestFinished(ASIHTTPRequest& request) override;
    void requestFailed(ASIHTTPRequest& request) override;

signals:
    // A load ended and was shown (ok) or reported as failed.
    void loadFinished(bool ok);
    // A text or voice send came back.
    void sendFinished(bool ok);
    // The conversation list asked for after a push notice came back; `cameMessage`: the
    // partner has unread messages, and the conversation reloads.
    void pushHandled(bool cameMessage);
    // A playback ended (ok false: download, conversion or playback failed).
    void playbackFinished(bool ok);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Starts a load; `keepPosition`: its result leaves the timeline scrolled where it is then,
    // unless it is at its bottom.
    void startLoad(bool keepPosition);
    void toMainLoadData(const std::vector<std::shared_ptr<MessageDetailVO>>& records);
    void showConversation(bool keepPosition);
    void failLoad();
    void finishSend(bool ok, const QString& text);
    void moveContent(int y);
    void layoutContent();
    void stopPlayback(bool ok);

    std::string q_id_;
    std::string q_name_;
    QPointer<QWidget> content_;
    QPointer<UIBubbleTableView> bubbleTable_;
    QPointer<UIInputToolbar> inputToolbar_;
    QPointer<VoiceRecording> recording_;
    QPointer<AudioPlayer> player_;
    QPointer<QPropertyAnimation> keyboardAnimation_;
    std::vector<NSBubbleDataPtr> data_arr_;
    std::shared_ptr<ASIFormDataRequest> request_;
    ObserverToken messageToken_;
    bool keyboardIsVisible_ = false;
    bool loadingShown_ = false;  // "加载中..." shows until the first load ends
    bool keepPosition_ = false;  // of the load under way
    int voiceSends_ = 0;
    unsigned playGeneration_ = 0;
};

}  // namespace oa

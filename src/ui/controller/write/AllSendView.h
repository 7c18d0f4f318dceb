// AllSendView: the group-message editor. Recipients ("收信人:") sit in a sideways strip of name
// buttons (a tap removes that person) filled by the recipient picker through the add button; the
// text is sent by the write screen (getAllSendVO). Holding "按住说话" records a voice message
// that, after the prompt "您录制了一段语音是否发送", goes to every recipient off the main thread
// with "正在发送..." and then "成功" or "发送失败"; no recording starts meanwhile.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/SaveRecords.h"
#include "ui/kit/AlertView.h"

class QAbstractButton;
class QLabel;

namespace oa {

class LongPressButton;
class ScrollView;
class UIExpandingTextView;
class VoiceRecording;

class AllSendView : public QWidget, private AlertViewDelegate {
    Q_OBJECT

public:
    using People = std::vector<std::shared_ptr<UserVO>>;

    static constexpr int kStripButtonWidth = 60;
    static constexpr int kVoiceBandHeight = 100;
    // The recording animation shows this far above the record button.
    static constexpr int kAnimationAbove = 140;

    explicit AllSendView(QWidget* parent = nullptr);
    ~AllSendView() override;

    // The round add button; the write screen makes it open the recipient picker.
    QAbstractButton* addButton() const { return addButton_; }
    ScrollView* user_scroll() const { return user_scroll_; }
    UIExpandingTextView* content_text() const { return content_text_; }
    LongPressButton* recordButton() const { return recordButton_; }
    VoiceRecording* recording() const { return recording_; }

    // The recipients, in strip order.
    const People& user_arr() const { return user_arr_; }
    // Replaces the recipients with `people` and redraws `strip` (user_scroll).
    void loadScrollView(ScrollView* strip, const People& people);
    // A name button was tapped: that recipient goes.
    void deleteCurButton(int tag);

    // The text message for the recipients (their user_uid joined by ","; the text, possibly
    // empty), or nothing after showing "无收信人" when there is no recipient.
    std::optional<AllSendVO> getAllSendVO();

    // The send prompt while it is open.
    AlertView* prompt() const { return prompt_; }
    bool isSendingVoice() const { return sendingVoice_; }

signals:
    // The recipients changed (a choice from the picker, a tap on a name).
    void recipientsChanged();
    // A voice message went out (`ok`) or failed.
    void voiceSent(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A touch outside the text ends editing.
    void mousePressEvent(QMouseEvent* event) override;

private:
    void alertView(AlertView* alertView, int buttonIndex) override;

    void createSendView();
    void layoutForm();
    bool mayRecord();
    void recordStopped(const QString& wavPath);
    void sendVoiceMessage(const QString& wavPath);
    void voiceDone(bool ok);
    QString uidList() const;

    QWidget* input_view_ = nullptr;
    QLabel* label1_ = nullptr;
    ScrollView* user_scroll_ = nullptr;
    QAbstractButton* addButton_ = nullptr;
    QLabel* divider_ = nullptr;
    QWidget* textBackground_ = nullptr;
    UIExpandingTextView* content_text_ = nullptr;
    QWidget* voiceView_ = nullptr;
    LongPressButton* recordButton_ = nullptr;
    // Hosts the recording animation: its bottom edge lies so that the animation shows
    // kAnimationAbove points above the record button.
    QWidget* animationHost_ = nullptr;
    VoiceRecording* recording_ = nullptr;
    QPointer<AlertView> prompt_;
    QString recordfile_;
    People user_arr_;
    bool sendingVoice_ = false;
};

}  // namespace oa

// The voice message is converted and uploaded off the main thread; its verdict comes back
// through a QPointer.
#include "ui/controller/write/AllSendView.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/MessageBO.h"
#include "core/voice/VoiceConverter.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/voice/VoiceRecording.h"
#include "ui/kit/ContactAddButton.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/ScrollView.h"
#include "ui/platform/WavFile.h"

namespace oa {

namespace {

const QString kNoRecipient = QStringLiteral("无收信人");
const QString kSendFailed = QStringLiteral("发送失败");
constexpr int kStripHeight = 45;
constexpr int kStripX = 70;
constexpr int kStripWidth = 190;
constexpr int kTextTop = kStripHeight + 10;
constexpr int kTextMinimumHeight = 36;

// A recipient in the strip: the name on "btn3.png" with round ends.
class NameButton : public QAbstractButton {
public:
    NameButton(const QString& name, int tag, QWidget* parent) : QAbstractButton(parent) {
        setText(name);
        setObjectName(QStringLiteral("name%1").arg(tag));
        setProperty("tag", tag);
        setFont(systemFont(14));
        resize(50, 23);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath round;
        round.addRoundedRect(QRectF(rect()), 12, 12);
        painter.setClipPath(round);
        painter.drawPixmap(rect(), image(QStringLiteral("btn3.png")));
        if (isDown()) {
            painter.fillRect(rect(), QColor(0, 0, 0, 50));
        }
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, width() - 4));
    }
};

// The pattern "otherbackground.png" behind the form.
class PatternView : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QBrush(image(QStringLiteral("otherbackground.png"))));
    }
};

// The text's background "textview_bg".
class TextBackground : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(rect(), image(QStringLiteral("textview_bg")));
    }
};

QLabel* dividerLine(QWidget* parent) {
    auto* line = new QLabel(parent);
    line->setScaledContents(true);
    line->setPixmap(image(QStringLiteral("dividerline.png")));
    return line;
}

}  // namespace

AllSendView::AllSendView(QWidget* parent) : QWidget(parent) {
    createSendView();
}

AllSendView::~AllSendView() {
    if (prompt_) {
        prompt_->setDelegate(nullptr);
        prompt_->dismissWithClickedButtonIndex(0, false);
    }
}

void AllSendView::createSendView() {
    input_view_ = new PatternView(this);
    label1_ = new QLabel(QStringLiteral("收信人:"), input_view_);
    label1_->setFont(systemFont(16));
    user_scroll_ = new ScrollView(input_view_);
    user_scroll_->setObjectName(QStringLiteral("user_scroll"));
    addButton_ = new ContactAddButton(input_view_);
    addButton_->setAccessibleName(QStringLiteral("添加收信人"));
    addButton_->setObjectName(QStringLiteral("addButton"));
    divider_ = dividerLine(input_view_);

    textBackground_ = new TextBackground(input_view_);
    content_text_ = new UIExpandingTextView(textBackground_);
    content_text_->setObjectName(QStringLiteral("content_text"));
    content_text_->setFont(systemFont(18));
    content_text_->setPlaceholderText(QStringLiteral("点击这里填写短信内容..."));
    content_text_->setAccessibleName(QStringLiteral("短信内容"));
    content_text_->setFrameShape(QFrame::NoFrame);
    content_text_->viewport()->setAutoFillBackground(false);
    content_text_->setStyleSheet(QStringLiteral("background: transparent;"));
    connect(content_text_, &UIExpandingTextView::heightChangeRequested, this,
            [this](int) { layoutForm(); });

    voiceView_ = new QWidget(input_view_);
    voiceView_->setObjectName(QStringLiteral("voiceView"));
    dividerLine(voiceView_)->setGeometry(0, 0, 320, 2);
    auto* voiceLabel = new QLabel(QStringLiteral("发送语音"), voiceView_);
    voiceLabel->setFont(systemFont(16));
    voiceLabel->setGeometry(10, 12, 200, 22);
    recordButton_ = new LongPressButton(
        QStringLiteral("按住说话"), QString::fromLatin1(VoiceRecording::kRestImage), voiceView_);
    recordButton_->setGeometry(25, 50, 270, 25);

    animationHost_ = new QWidget(this);
    animationHost_->setAttribute(Qt::WA_TransparentForMouseEvents);
    recording_ = new VoiceRecording(recordButton_, animationHost_, this);
    recording_->setConvertsOnRelease(false);
    recording_->setStartCheck([this] { return mayRecord(); });
    connect(recording_, &VoiceRecording::recordStopped, this,
            [this](const QString& wavPath, qint64) { recordStopped(wavPath); });
    resize(320, 416);
}

void AllSendView::resizeEvent(QResizeEvent*) {
    layoutForm();
}

void AllSendView::layoutForm() {
    input_view_->setGeometry(rect());
    label1_->setGeometry(10, 0, kStripX - 10, kStripHeight);
    user_scroll_->setGeometry(kStripX, 0, kStripWidth, kStripHeight);
    addButton_->move(width() - ContactAddButton::kSize.width() - 15,
                     (kStripHeight - ContactAddButton::kSize.height()) / 2);
    divider_->setGeometry(0, kStripHeight, width(), 2);
    const int textHeight = std::max(kTextMinimumHeight, content_text_->fittingHeight() + 8);
    textBackground_->setGeometry(10, kTextTop, width() - 20, textHeight);
    content_text_->setGeometry(4, 4, textBackground_->width() - 8, textHeight - 8);
    // The voice band follows the text 20 points below it.
    voiceView_->setGeometry(0, textBackground_->geometry().bottom() + 1 + 20, width(),
                            kVoiceBandHeight);
    const QRect button = recordButton_->geometry().translated(voiceView_->pos());
    animationHost_->setGeometry(0, 0, width(),
                                button.top() - kAnimationAbove + CustomAnimating::kRecordOffset);
    animationHost_->raise();
}

void AllSendView::mousePressEvent(QMouseEvent* event) {
    content_text_->clearFocus();
    QWidget::mousePressEvent(event);
}

void AllSendView::loadScrollView(ScrollView* strip, const People& people) {
    const People copy = people;
    for (QAbstractButton* old : strip->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        old->hide();
        old->deleteLater();
    }
    for (std::size_t i = 0; i < copy.size(); ++i) {
        const int tag = static_cast<int>(i);
        auto* button =
            new NameButton(QString::fromStdString(copy[i]->user_name.value_or("")), tag, strip);
        strip->addContentSubview(
            button, QRectF(kStripButtonWidth * tag, (kStripHeight - button->height()) / 2.0,
                           button->width(), button->height()));
        connect(button, &QAbstractButton::clicked, this, [this, tag] { deleteCurButton(tag); });
        button->show();
    }
    // Wider than the strip, the names scroll sideways.
    strip->setContentWidth(kStripButtonWidth * static_cast<qreal>(copy.size()));
    user_arr_ = copy;
    emit recipientsChanged();
}

void AllSendView::deleteCurButton(int tag) {
    if (tag < 0 || static_cast<std::size_t>(tag) >= user_arr_.size()) {
        return;
    }
    People rest = user_arr_;
    rest.erase(rest.begin() + tag);
    loadScrollView(user_scroll_, rest);
}

QString AllSendView::uidList() const {
    QStringList ids;
    for (const auto& person : user_arr_) {
        ids << QString::fromStdString(person->user_uid.value_or(""));
    }
    return ids.join(QLatin1Char(','));
}

std::optional<AllSendVO> AllSendView::getAllSendVO() {
    if (user_arr_.empty()) {
        ProgressHUD::showErrorWithStatus(kNoRecipient);
        return std::nullopt;
    }
    AllSendVO record;
    record.to_uid = uidList().toStdString();
    record.content = content_text_->text().toStdString();
    return record;
}

bool AllSendView::mayRecord() {
    if (sendingVoice_ || prompt_) {
        return false;
    }
    if (user_arr_.empty()) {
        ProgressHUD::showErrorWithStatus(kNoRecipient);
        return false;
    }
    return true;
}

void AllSendView::recordStopped(const QString& wavPath) {
    recordfile_ = wavPath;
    // The recipients may all have been removed while recording.
    if (user_arr_.empty() || prompt_) {
        return;
    }
    prompt_ = new AlertView(QStringLiteral("Corvane"), QStringLiteral("您录制了一段语音是否发送"),
                            this, QStringLiteral("取消   "), {QStringLiteral("确定")});
    prompt_->showInView(window());
}

void AllSendView::alertView(AlertView*, int buttonIndex) {
    // Answered: the prompt is on its way out.
    prompt_ = nullptr;
    // The cancel button keeps everything, the recording's file included.
    if (buttonIndex == 1 && !recordfile_.isEmpty()) {
        sendVoiceMessage(recordfile_);
    }
}

void AllSendView::sendVoiceMessage(const QString& wavPath) {
    if (user_arr_.empty() || sendingVoice_) {
        return;
    }
    sendingVoice_ = true;
    recording_->setBlocked(true);
    ProgressHUD::showWithStatus(QStringLiteral("正在发送..."));
    const QPointer<AllSendView> guard(this);
    const std::string ids = uidList().toStdString();
    const QString wav = wavPath;
    runInBackground([guard, ids, wav] {
        bool ok = false;
        const std::string wavFile = wav.toStdString();
        const auto amr = VoiceConverter::wavToAmr(wavFile);
        const auto pcm = WavFile::read(wav);
        if (amr && pcm && pcm->sampleRate > 0 && pcm->channels > 0) {
            // The length in seconds as the WAV header gives it, six decimals.
            const double seconds = static_cast<double>(pcm->samples.size()) /
                                   (static_cast<double>(pcm->sampleRate) * pcm->channels);
            char duration[64];
            std::snprintf(duration, sizeof duration, "%lf", seconds);
            const SubmitVerdict verdict = MessageBO().sendVoiceMsg(ids, duration, *amr);
            ok = verdict.ok;
            if (!ok) {
                log("voice message not sent: " + verdict.reason);
            }
        } else {
            log("voice message not sent: " + wavFile + " holds no speech to convert");
        }
        if (ok) {
            // Sent: the files are of no further use.
            std::remove(wavFile.c_str());
            std::remove(amr->c_str());
        } else if (!amr) {
            std::remove(VoiceConverter::amrPath(wavFile).c_str());
        }
        MainLoop::main().post([guard, ok] {
            if (guard) {
                guard->voiceDone(ok);
                return;
            }
            // The editor is gone, but the progress it showed must still end.
            if (ok) {
                ProgressHUD::dismissWithSuccess(QStringLiteral("成功"));
            } else {
                ProgressHUD::dismissWithError(kSendFailed);
            }
        });
    });
}

void AllSendView::voiceDone(bool ok) {
    sendingVoice_ = false;
    recording_->setBlocked(false);
    if (ok) {
        ProgressHUD::dismissWithSuccess(QStringLiteral("成功"));
    } else {
        ProgressHUD::dismissWithError(kSendFailed);
    }
    emit voiceSent(ok);
}

}  // namespace oa

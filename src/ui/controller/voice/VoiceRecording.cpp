// The AMR conversion runs in the background; its result comes back through a QPointer guard.
#include "ui/controller/voice/VoiceRecording.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "core/platform/AppPaths.h"
#include "core/platform/MainLoop.h"
#include "core/voice/VoiceConverter.h"
#include "core/voice/VoicePcm.h"
#include "ui/kit/CustomAnimating.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/platform/AudioRecorder.h"
#include "ui/platform/AudioStack.h"

namespace oa {

namespace {

const QString kRecordFailed = QStringLiteral("录音失败");
// Less than a second is a press by mistake more often than a message; it would go out as a
// message of 0 seconds.
const QString kTooShort = QStringLiteral("说话时间太短");

}  // namespace

VoiceRecording::VoiceRecording(LongPressButton* button, QWidget* animationView, QObject* parent)
    : QObject(parent), button_(button), view_(animationView) {
    button->addTarget(
        this, [this] { longPressed(); }, 0);
    button->addTarget(
        this, [this] { released(); }, LongPressButton::kReleaseEvent);
}

VoiceRecording::~VoiceRecording() {
    cancel();
    delete animation_.data();
}

void VoiceRecording::longPressed() {
    if (blocked_ || recording_ || stopping_ || (startCheck_ && !startCheck_())) {
        return;
    }
    if (!recorder_) {
        recorder_ = AudioStack::makeRecorder(this);
        connect(recorder_, &AudioRecorder::finished, this, &VoiceRecording::recorderFinished);
    }
    const QString folder = QString::fromStdString(AppPaths::current().temporary().string());
    QDir().mkpath(folder);
    wavPath_ =
        QDir(folder).filePath(QStringLiteral("R_5_%1.wav").arg(QDateTime::currentSecsSinceEpoch()));
    // A file left from an earlier recording of this second must not pass for this one.
    QFile::remove(wavPath_);
    QFile::remove(QString::fromStdString(VoiceConverter::amrPath(wavPath_.toStdString())));

    if (button_) {
        button_->setImageName(kHeldImage);
        button_->flash();
    }
    if (view_) {
        animation_ = CustomAnimating::showRecordAnimatingAtView(view_);
    }
    const QString error = recorder_->start(wavPath_);
    if (!error.isEmpty()) {
        endVisuals();
        fail(error);
        return;
    }
    recording_ = true;
}

void VoiceRecording::released() {
    // A tap shorter than the long press started nothing, so there is nothing to report.
    if (!recording_) {
        return;
    }
    recording_ = false;
    stopping_ = true;
    endVisuals();
    recorder_->stop();
}

void VoiceRecording::cancel() {
    // A recording being converted is dropped too.
    if (stopping_) {
        stopping_ = false;
        ++generation_;
    }
    if (!recording_) {
        return;
    }
    recording_ = false;
    endVisuals();
    if (recorder_) {
        recorder_->disconnect(this);
        recorder_->stop();
        recorder_->deleteLater();
        recorder_ = nullptr;
    }
    QFile::remove(wavPath_);
}

void VoiceRecording::recorderFinished(bool ok, qint64 samples) {
    if (!stopping_) {
        return;
    }
    if (ok && samples > 0 && samples < VoicePcm::kRate) {
        stopping_ = false;
        QFile::remove(wavPath_);
        fail(kTooShort);
        return;
    }
    if (!convertsOnRelease_) {
        stopping_ = false;
        if (!ok) {
            QFile::remove(wavPath_);
            fail(kRecordFailed);
            return;
        }
        emit recordStopped(wavPath_, samples);
        return;
    }
    if (!ok || samples <= 0) {
        stopping_ = false;
        QFile::remove(wavPath_);
        fail(kRecordFailed);
        return;
    }
    const int duration = static_cast<int>(samples / VoicePcm::kRate);
    const std::string wav = wavPath_.toStdString();
    QPointer<VoiceRecording> self(this);
    const unsigned generation = generation_;
    runInBackground([self, wav, duration, generation] {
        const auto amr = VoiceConverter::wavToAmr(wav);
        if (!amr) {
            // A recording too short for one frame leaves no usable file.
            std::remove(VoiceConverter::amrPath(wav).c_str());
        }
        MainLoop::main().post([self, amr, duration, generation] {
            if (!self || self->generation_ != generation) {
                return;
            }
            self->stopping_ = false;
            if (!amr) {
                self->fail(kRecordFailed);
                return;
            }
            emit self->recordFinished(duration, QString::fromStdString(*amr));
        });
    });
}

void VoiceRecording::endVisuals() {
    if (button_) {
        button_->setImageName(kRestImage);
    }
    if (animation_) {
        animation_->stopAnimating();
        animation_->hide();
        animation_->deleteLater();
        animation_ = nullptr;
    }
}

void VoiceRecording::fail(const QString& message) {
    ProgressHUD::showErrorWithStatus(message);
    emit recordFailed(message);
}

}  // namespace oa

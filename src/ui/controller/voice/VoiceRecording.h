// VoiceRecording: turns holding a LongPressButton into a voice message. The long press starts
// a recording into tmp/R_5_<seconds since 1970>.wav with the held button picture, a flash and
// the microphone animation; the release stops it and, when something was recorded, converts
// it to AMR and reports recordFinished(whole seconds, AMR path). Failures, and recordings under
// one second, are reported with their message and shown, never as a finished recording.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace oa {

class AudioRecorder;
class CustomAnimating;
class LongPressButton;

class VoiceRecording : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kRestImage = "btn_recordButton";
    static constexpr const char* kHeldImage = "btn_recordButton2";

    // Takes over the button's targets; the animation shows in `animationView`. The recorder
    // comes from AudioStack at the first long press.
    VoiceRecording(LongPressButton* button, QWidget* animationView, QObject* parent = nullptr);
    ~VoiceRecording() override;

    // While blocked (a voice message is being sent) a long press starts nothing: recordings
    // named by the same second would overwrite each other.
    void setBlocked(bool blocked) { blocked_ = blocked; }
    // Asked at each long press; false starts nothing (the check shows why).
    void setStartCheck(std::function<bool()> check) { startCheck_ = std::move(check); }
    // By default a release converts the recording and reports recordFinished. Without that the
    // release reports recordStopped with the WAV file as it is, for a screen that asks before
    // converting and sending.
    void setConvertsOnRelease(bool converts) { convertsOnRelease_ = converts; }
    // Ends a running recording, or drops one being converted, without reporting it (the screen
    // is left).
    void cancel();

    bool isRecording() const { return recording_; }
    // Between the release and the report: the recording is being stopped and converted.
    bool isConverting() const { return stopping_; }
    CustomAnimating* animation() const { return animation_; }
    // The WAV file of the running or last recording.
    QString wavPath() const { return wavPath_; }

signals:
    void recordFinished(int duration, const QString& amrPath);
    // The recording ended with `samples` samples (none, or at least one second) in the WAV file
    // at `wavPath`.
    void recordStopped(const QString& wavPath, qint64 samples);
    void recordFailed(const QString& message);

private:
    void longPressed();
    void released();
    void recorderFinished(bool ok, qint64 samples);
    void endVisuals();
    void fail(const QString& message);

    QPointer<LongPressButton> button_;
    QPointer<QWidget> view_;
    QPointer<CustomAnimating> animation_;
    AudioRecorder* recorder_ = nullptr;
    QString wavPath_;
    bool recording_ = false;
    bool stopping_ = false;
    bool blocked_ = false;
    bool convertsOnRelease_ = true;
    std::function<bool()> startCheck_;
    unsigned generation_ = 0;
};

}  // namespace oa

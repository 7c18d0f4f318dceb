// Sample conversion between what an audio device takes or gives and the client's voice format
// (8000 Hz, mono, 16-bit): channels mixed or copied, linear resampling, sample formats.
#pragma once

#include <QAudioFormat>
#include <QByteArray>

#include "core/voice/VoicePcm.h"
#include "ui/platform/WavFile.h"

namespace oa {

class PcmConvert {
public:
    // The voice format as a QAudioFormat.
    static QAudioFormat voiceFormat();
    // Raw device bytes in `format` (any rate, channel count and sample format) as mono samples
    // at VoicePcm::kRate. A trailing partial frame is dropped.
    static std::vector<std::int16_t> toVoice(const QByteArray& raw, const QAudioFormat& format);
    // The samples as raw bytes in `format`.
    static QByteArray toDevice(const Pcm16& pcm, const QAudioFormat& format);
};

}  // namespace oa

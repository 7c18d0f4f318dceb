// Conversions through float samples in [-1, 1].
#include "ui/multimedia/PcmConvert.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace oa {

namespace {

float readSample(const char* p, QAudioFormat::SampleFormat format) {
    switch (format) {
        case QAudioFormat::UInt8:
            return (static_cast<float>(static_cast<unsigned char>(*p)) - 128.0f) / 128.0f;
        case QAudioFormat::Int16: {
            std::int16_t v;
            std::memcpy(&v, p, 2);
            return static_cast<float>(v) / 32768.0f;
        }
        case QAudioFormat::Int32: {
            std::int32_t v;
            std::memcpy(&v, p, 4);
            return static_cast<float>(static_cast<double>(v) / 2147483648.0);
        }
        case QAudioFormat::Float: {
            float v;
            std::memcpy(&v, p, 4);
            return std::isfinite(v) ? v : 0.0f;
        }
        default:
            return 0.0f;
    }
}

void writeSample(char* p, float v, QAudioFormat::SampleFormat format) {
    v = std::clamp(v, -1.0f, 1.0f);
    switch (format) {
        case QAudioFormat::UInt8:
            *p = static_cast<char>(static_cast<unsigned char>(std::lround(v * 127.0f) + 128));
            break;
        case QAudioFormat::Int16: {
            const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0f));
            std::memcpy(p, &s, 2);
            break;
        }
        case QAudioFormat::Int32: {
            const auto s =
                static_cast<std::int32_t>(std::llround(static_cast<double>(v) * 2147483647.0));
            std::memcpy(p, &s, 4);
            break;
        }
        case QAudioFormat::Float:
            std::memcpy(p, &v, 4);
            break;
        default:
            break;
    }
}

}  // namespace

QAudioFormat PcmConvert::voiceFormat() {
    QAudioFormat format;
    format.setSampleRate(VoicePcm::kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

std::vector<std::int16_t> PcmConvert::toVoice(const QByteArray& raw, const QAudioFormat& format) {
    const int channels = format.channelCount();
    const int sampleBytes = format.bytesPerSample();
    if (channels < 1 || sampleBytes < 1 || format.sampleRate() < 1) {
        return {};
    }
    const qsizetype frameBytes = static_cast<qsizetype>(channels) * sampleBytes;
    const qsizetype frames = raw.size() / frameBytes;
    std::vector<std::int16_t> mono(static_cast<std::size_t>(frames));
    for (qsizetype f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c) {
            sum += readSample(raw.constData() + f * frameBytes + c * sampleBytes,
                              format.sampleFormat());
        }
        mono[static_cast<std::size_t>(f)] = static_cast<std::int16_t>(
            std::lround(std::clamp(sum / static_cast<float>(channels), -1.0f, 1.0f) * 32767.0f));
    }
    return VoicePcm::resample(mono, format.sampleRate(), VoicePcm::kRate);
}

QByteArray PcmConvert::toDevice(const Pcm16& pcm, const QAudioFormat& format) {
    const int inChannels = std::max(pcm.channels, 1);
    std::vector<std::int16_t> mono(pcm.samples.size() / static_cast<std::size_t>(inChannels));
    for (std::size_t f = 0; f < mono.size(); ++f) {
        int sum = 0;
        for (int c = 0; c < inChannels; ++c) {
            sum +=
                pcm.samples[f * static_cast<std::size_t>(inChannels) + static_cast<std::size_t>(c)];
        }
        mono[f] = static_cast<std::int16_t>(sum / inChannels);
    }
    const auto samples = VoicePcm::resample(mono, pcm.sampleRate, format.sampleRate());
    const int channels = std::max(format.channelCount(), 1);
    const int sampleBytes = format.bytesPerSample();
    if (sampleBytes < 1) {
        return {};
    }
    QByteArray out(static_cast<qsizetype>(samples.size()) * channels * sampleBytes, '\0');
    char* p = out.data();
    for (const std::int16_t s : samples) {
        for (int c = 0; c < channels; ++c, p += sampleBytes) {
            writeSample(p, static_cast<float>(s) / 32768.0f, format.sampleFormat());
        }
    }
    return out;
}

}  // namespace oa

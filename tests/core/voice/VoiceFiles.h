// Builders of the WAV and AMR inputs of the voice tests, and a synthetic voice-like signal.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "core/voice/AmrEncoder.h"

namespace oa::test {

using Bytes = std::vector<std::uint8_t>;

inline void append(Bytes& to, const std::string& text) {
    to.insert(to.end(), text.begin(), text.end());
}

inline void appendLe32(Bytes& to, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        to.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

inline void appendLe16(Bytes& to, std::uint16_t v) {
    to.push_back(static_cast<std::uint8_t>(v));
    to.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline std::uint32_t le32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) | static_cast<std::uint32_t>(b.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(b.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

inline Bytes pcmBytes(const std::vector<short>& samples) {
    Bytes out;
    for (short s : samples) {
        appendLe16(out, static_cast<std::uint16_t>(s));
    }
    return out;
}

inline std::vector<short> samplesOf(const Bytes& pcm, std::size_t from) {
    std::vector<short> out;
    for (std::size_t i = from; i + 1 < pcm.size(); i += 2) {
        out.push_back(static_cast<short>(pcm[i] | pcm[i + 1] << 8));
    }
    return out;
}

// A plain 44-byte-header WAV file (format chunk of 16 bytes), optionally with extra chunks
// between the format chunk and the data chunk.
inline Bytes wavFile(const std::vector<short>& samples, const Bytes& chunksBeforeData = {}) {
    const Bytes pcm = pcmBytes(samples);
    Bytes out;
    append(out, "RIFF");
    appendLe32(out, static_cast<std::uint32_t>(36 + chunksBeforeData.size() + pcm.size()));
    append(out, "WAVEfmt ");
    appendLe32(out, 16);
    appendLe16(out, 1);
    appendLe16(out, 1);
    appendLe32(out, 8000);
    appendLe32(out, 16000);
    appendLe16(out, 2);
    appendLe16(out, 16);
    out.insert(out.end(), chunksBeforeData.begin(), chunksBeforeData.end());
    append(out, "data");
    appendLe32(out, static_cast<std::uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

// Speech-like test signal: a gliding pitch of about 100 to 180 Hz with harmonics shaped by three
// formants, syllable-rate loudness and a little breath noise.
inline std::vector<short> voiceLike(std::size_t count, double seconds0 = 0.0) {
    std::vector<short> out(count);
    double phase = 0.0;
    std::uint32_t noise = 12345;
    for (std::size_t n = 0; n < count; ++n) {
        const double t = seconds0 + static_cast<double>(n) / 8000.0;
        const double f0 = 140.0 + 40.0 * std::sin(2 * std::numbers::pi * 0.7 * t);
        phase += 2 * std::numbers::pi * f0 / 8000.0;
        double v = 0.0;
        for (int k = 1; k * f0 < 3600.0; ++k) {
            const double f = k * f0;
            double gain = 0.0;
            for (double formant : {700.0, 1200.0, 2600.0}) {
                gain += std::exp(-((f - formant) * (f - formant)) / (2 * 150.0 * 150.0));
            }
            v += (0.15 + gain) / k * std::sin(k * phase);
        }
        noise = noise * 1664525u + 1013904223u;
        v += 0.02 * (static_cast<double>(noise >> 8) / 16777216.0 - 0.5);
        const double syllable = 0.55 + 0.45 * std::sin(2 * std::numbers::pi * 4.0 * t);
        out[n] = static_cast<short>(std::lround(6000.0 * syllable * v));
    }
    return out;
}

// count frames of type 7 encoded from the voice-like signal, without the magic.
inline Bytes amrFrames(int count) {
    AmrEncoder encoder;
    const auto samples = voiceLike(static_cast<std::size_t>(count) * 160);
    Bytes out;
    std::uint8_t frame[32];
    for (int i = 0; i < count; ++i) {
        const int n = encoder.encode(samples.data() + 160 * i, frame);
        out.insert(out.end(), frame, frame + n);
    }
    return out;
}

inline Bytes amrFile(const Bytes& frames) {
    Bytes out;
    append(out, "#!AMR\n");
    out.insert(out.end(), frames.begin(), frames.end());
    return out;
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace oa::test

// Speech-like synthesis and AMR encoding.
#include "server/VoiceSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/voice/AmrEncoder.h"
#include "core/voice/AmrFrame.h"

namespace oa {

namespace {

constexpr double kRate = 8000.0;

// A deterministic generator, so that the seed data is the same on every reset.
class Lcg {
public:
    explicit Lcg(unsigned seed) : state_(seed * 2654435761u + 1u) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }

private:
    std::uint32_t state_;
};

// A two-pole resonator at a formant frequency.
class Resonator {
public:
    Resonator(double frequency, double bandwidth) {
        const double r = std::exp(-std::numbers::pi * bandwidth / kRate);
        a1_ = 2 * r * std::cos(2 * std::numbers::pi * frequency / kRate);
        a2_ = -r * r;
        gain_ = 1 - r;
    }
    double step(double in) {
        const double out = gain_ * in + a1_ * y1_ + a2_ * y2_;
        y2_ = y1_;
        y1_ = out;
        return out;
    }

private:
    double a1_ = 0, a2_ = 0, gain_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace

std::vector<std::int16_t> VoiceSynth::speechLike(double seconds, unsigned seed, bool femaleVoice) {
    const auto total = static_cast<std::size_t>(std::max(0.0, seconds) * kRate);
    std::vector<std::int16_t> out(total, 0);
    Lcg random(seed);
    // Vowel formant pairs (F1, F2) in Hz.
    static const double vowels[][2] = {{730, 1090}, {270, 2290}, {300, 870},
                                       {530, 1840}, {570, 840},  {440, 1020}};
    const double basePitch = femaleVoice ? 210.0 : 120.0;
    std::size_t at = static_cast<std::size_t>(0.15 * kRate);
    while (at < total) {
        const auto length = static_cast<std::size_t>((0.14 + 0.12 * random.next()) * kRate);
        const auto& vowel = vowels[static_cast<std::size_t>(random.next() * 6) % 6];
        Resonator f1(vowel[0], 90), f2(vowel[1], 120);
        const double pitch = basePitch * (0.85 + 0.3 * random.next());
        double phase = 0;
        for (std::size_t i = 0; i < length && at + i < total; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(length);
            const double glide = pitch * (1.1 - 0.2 * t);  // falling tone within the syllable
            phase += glide / kRate;
            double source = 0;
            if (phase >= 1.0) {
                phase -= 1.0;
                source = 1.0;
            }
            source += 0.02 * (random.next() - 0.5);  // breath
            const double envelope = std::sin(std::numbers::pi * t);
            const double sample = (f1.step(source) * 1.0 + f2.step(source) * 0.6) * envelope;
            out[at + i] = static_cast<std::int16_t>(std::clamp(sample * 9000.0, -32000.0, 32000.0));
        }
        at += length + static_cast<std::size_t>((0.03 + 0.12 * random.next()) * kRate);
    }
    return out;
}

std::string VoiceSynth::encodeAmr(const std::vector<std::int16_t>& samples) {
    AmrEncoder encoder;
    if (!encoder.isValid()) {
        return {};
    }
    std::string out(AmrFrame::kMagic);
    std::array<short, AmrFrame::kSamplesPerFrame> frame{};
    std::uint8_t packed[AmrFrame::kMaxFrameBytes];
    for (std::size_t at = 0; at < samples.size(); at += frame.size()) {
        frame.fill(0);
        const std::size_t count = std::min(frame.size(), samples.size() - at);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(at), count, frame.begin());
        const int bytes = encoder.encode(frame.data(), packed);
        if (bytes <= 0) {
            return {};
        }
        out.append(reinterpret_cast<const char*>(packed), static_cast<std::size_t>(bytes));
    }
    return out;
}

bool VoiceSynth::looksLikeAmr(const std::string& bytes) {
    if (bytes.size() <= AmrFrame::kMagic.size() ||
        bytes.compare(0, AmrFrame::kMagic.size(), AmrFrame::kMagic) != 0) {
        return false;
    }
    const auto header = static_cast<std::uint8_t>(bytes[AmrFrame::kMagic.size()]);
    const int size = AmrFrame::sizeOf(header);
    return size > 0 && bytes.size() >= AmrFrame::kMagic.size() + static_cast<std::size_t>(size);
}

long long VoiceSynth::durationMs(const std::string& bytes) {
    if (!looksLikeAmr(bytes)) {
        return 0;
    }
    long long frames = 0;
    std::size_t at = AmrFrame::kMagic.size();
    while (at < bytes.size()) {
        const int size = AmrFrame::sizeOf(static_cast<std::uint8_t>(bytes[at]));
        if (size <= 0 || at + static_cast<std::size_t>(size) > bytes.size()) {
            break;
        }
        at += static_cast<std::size_t>(size);
        ++frames;
    }
    return frames * 20;
}

}  // namespace oa

// Test sounds for the voice tests.
#pragma once

#include <cmath>
#include <numbers>

#include "ui/platform/WavFile.h"

namespace oa::test {

// `seconds` of a 440 Hz tone at `rate` Hz, one channel.
inline Pcm16 tone(double seconds, int rate = 8000) {
    Pcm16 pcm{rate, 1, {}};
    pcm.samples.resize(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < pcm.samples.size(); ++i) {
        pcm.samples[i] = static_cast<std::int16_t>(
            12000 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(i) / rate));
    }
    return pcm;
}

}  // namespace oa::test

// The client's voice format (8000 Hz, mono, 16-bit samples) and the resampling into it.
#pragma once

#include <cstdint>
#include <vector>

namespace oa {

class VoicePcm {
public:
    static constexpr int kRate = 8000;

    // Linear resampling of mono samples.
    static std::vector<std::int16_t> resample(const std::vector<std::int16_t>& in, int fromRate,
                                              int toRate);
};

}  // namespace oa

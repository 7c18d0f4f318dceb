// Linear interpolation between the two nearest input samples. Also built into the multimedia
// module, which converts what the devices give.
#include "core/voice/VoicePcm.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace oa {

std::vector<std::int16_t> VoicePcm::resample(const std::vector<std::int16_t>& in, int fromRate,
                                             int toRate) {
    if (fromRate == toRate || in.empty() || fromRate < 1 || toRate < 1) {
        return in;
    }
    const auto outCount =
        static_cast<std::size_t>(static_cast<double>(in.size()) * toRate / fromRate);
    std::vector<std::int16_t> out(outCount);
    const double step = static_cast<double>(fromRate) / toRate;
    for (std::size_t i = 0; i < outCount; ++i) {
        const double pos = static_cast<double>(i) * step;
        const auto j = static_cast<std::size_t>(pos);
        const double t = pos - static_cast<double>(j);
        const double a = in[std::min(j, in.size() - 1)];
        const double b = in[std::min(j + 1, in.size() - 1)];
        out[i] = static_cast<std::int16_t>(std::lround(a + (b - a) * t));
    }
    return out;
}

}  // namespace oa

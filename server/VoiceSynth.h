// Voice messages for the seed data: a synthesised speech-like signal (syllables of a glottal
// pulse train through two formant resonators) encoded with the core's AMR encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oa {

class VoiceSynth {
public:
    // `seconds` of 8000 Hz mono samples; the same seed gives the same signal.
    static std::vector<std::int16_t> speechLike(double seconds, unsigned seed, bool femaleVoice);
    // An AMR-NB file (magic and 12.2 kbit/s frames); a trailing partial frame is padded with
    // silence. Empty when the encoder cannot be created.
    static std::string encodeAmr(const std::vector<std::int16_t>& samples);
    // True when the bytes start with the AMR magic and hold at least one whole frame.
    static bool looksLikeAmr(const std::string& bytes);
    // Length of an AMR file in milliseconds (20 ms per frame); stops at the first frame of an
    // unknown size.
    static long long durationMs(const std::string& bytes);
};

}  // namespace oa

// Entry points of the voice messages into the AMR file codec: a recording becomes the AMR file
// that is uploaded, a downloaded AMR file becomes the WAV file that is played.
#pragma once

#include <optional>
#include <string>

namespace oa {

class VoiceConverter {
public:
    // Encodes the WAV recording (one channel of 16-bit samples) into the file named by
    // amrPath(wavPath); that path when at least one frame was written, otherwise nothing.
    static std::optional<std::string> wavToAmr(const std::string& wavPath);

    // Decodes the AMR file into the file named by wavPath(amrPath); that path when the decoder
    // wrote at least one frame, otherwise nothing.
    static std::optional<std::string> amrToWav(const std::string& amrPath);

    // The path with its ".wav" extension replaced by ".amr"; a path without it is returned as it
    // is.
    static std::string amrPath(const std::string& wavPath);
    // The path with its ".amr" extension replaced by ".wav"; a path without it is returned as it
    // is.
    static std::string wavPath(const std::string& amrPath);
};

}  // namespace oa

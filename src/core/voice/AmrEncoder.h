// WAV to AMR: finds the samples of a RIFF file and writes them as 12.2 kbit/s AMR-NB frames
// behind the "#!AMR\n" magic, one 160-sample frame at a time.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "core/voice/AmrFrame.h"

namespace oa {

class AmrEncoder {
public:
    // A speech encoder with discontinuous transmission off.
    AmrEncoder();

    // False when the codec could not allocate its state.
    bool isValid() const { return state_ != nullptr; }

    // Encodes one frame of kSamplesPerFrame samples in mode 7 into out (room for kMaxFrameBytes);
    // returns the number of bytes written, 0 when the codec failed. The caller's samples are left
    // as they were: the codec works on a copy, because it overwrites the frame it is given.
    int encode(const short* samples, std::uint8_t* out);

    // Encodes the WAV file at wavPath into a new AMR file at amrPath (both UTF-8). Only one
    // channel of 16-bit samples is supported. Returns the number of frames written; 0 means
    // failure: unreadable input, an output that cannot be written, no "data" chunk, fewer than
    // 160 samples, or an output path naming the input file.
    static int encodeFile(const std::string& wavPath, const std::string& amrPath, int channels,
                          int bitsPerSample);

    // The same on open streams of 16-bit mono: writes the magic, then one frame per 160 samples
    // of the data chunk (a trailing partial frame, and any chunk after the data, is dropped).
    // Returns the frame count, 0 on failure.
    static int encodeStream(std::FILE* wav, std::FILE* amr);

    // Walks the RIFF chunks of wav from its start to the first byte behind the header of its
    // "data" chunk and returns that chunk's size in bytes; nothing when the file ends first. The
    // RIFF header and the format chunk are not checked.
    static std::optional<std::uint32_t> findSamples(std::FILE* wav);

private:
    std::unique_ptr<void, void (*)(void*)> state_;
    std::array<short, AmrFrame::kSamplesPerFrame> scratch_{};
};

}  // namespace oa

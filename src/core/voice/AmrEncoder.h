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

    // The sample rates a WAV file may have.
    static constexpr std::uint32_t kMinRate = 8000;
    static constexpr std::uint32_t kMaxRate = 384000;

    // What a WAV file's format chunk says; `present` is false without one.
    struct WavFormat {
        bool present = false;
        std::uint16_t tag = 1;
        std::uint16_t channels = 1;
        std::uint32_t sampleRate = 8000;
        std::uint16_t bitsPerSample = 16;
    };

    // Encodes the WAV file at wavPath into a new AMR file at amrPath (both UTF-8). The caller
    // asks for one channel of 16-bit samples (the only voice format); the file may hold any
    // number of channels of 16-bit PCM at kMinRate to kMaxRate, mixed to one channel at 8000 Hz.
    // Returns the number of frames written; 0 means failure: unreadable input, an output that
    // cannot be written, no "data" chunk, samples that are not 16-bit PCM, fewer than 160
    // samples, or an output path naming the input file.
    static int encodeFile(const std::string& wavPath, const std::string& amrPath, int channels,
                          int bitsPerSample);

    // The same on open streams: writes the magic, then one frame per 160 voice samples of the
    // data chunk (a trailing partial frame, and any chunk after the data, is dropped). A file
    // without a format chunk is taken as 8000 Hz mono. Returns the frame count, 0 on failure.
    static int encodeStream(std::FILE* wav, std::FILE* amr);

    // Walks the RIFF chunks of wav from its start to the first byte behind the header of its
    // "data" chunk and returns that chunk's size in bytes; nothing when the file ends first. The
    // RIFF header is not checked; the format chunk is read into `format` when one is given.
    static std::optional<std::uint32_t> findSamples(std::FILE* wav, WavFormat* format = nullptr);

private:
    std::unique_ptr<void, void (*)(void*)> state_;
    std::array<short, AmrFrame::kSamplesPerFrame> scratch_{};
};

}  // namespace oa

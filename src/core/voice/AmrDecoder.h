// AMR to WAV: reads the frames of an "#!AMR\n" file one at a time, each by its own header byte
// (the bit rate may change from frame to frame), and writes their samples as 8000 Hz 16-bit mono
// PCM behind a 48-byte WAV header. Nothing longer than a voice message may be: a small AMR file
// of one-byte frames would otherwise become a WAV file 320 times its size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/voice/AmrFrame.h"

namespace oa {

class AmrDecoder {
public:
    static constexpr std::size_t kWavHeaderBytes = 48;
    // The most frames whose byte count still fits the header's 32-bit size fields.
    static constexpr std::uint32_t kMaxFrames =
        (UINT32_MAX - 40) / static_cast<std::uint32_t>(AmrFrame::kPcmBytesPerFrame);

    // A voice message lasts at most ten minutes: 30,000 frames of 20 ms.
    static constexpr std::uint32_t kMaxVoiceFrames = 10 * 60 * 50;
    // What the decoding functions return for an input of more frames than they were allowed.
    static constexpr int kTooLong = -1;

    AmrDecoder();

    // False when the codec could not allocate its state.
    bool isValid() const { return state_ != nullptr; }

    // Decodes one frame (header byte first, length bytes available) into kSamplesPerFrame
    // samples: speech, comfort noise, or the codec's filling for a frame that was not sent (type
    // 15, and the comfort noise of other codecs). False, and the codec is not called, for the
    // types 12 to 14 and for a frame not wholly inside the buffer.
    bool decode(const std::uint8_t* frame, std::size_t length, short* samples);

    // Decodes the AMR file at amrPath into a new WAV file at wavPath (both UTF-8). Returns the
    // number of frames written, at least 1 on success; 0 means failure: unreadable input, no
    // magic, a first frame of type 12 to 14, an output that cannot be written or an output path
    // naming the input file. kTooLong when the file holds more than maxFrames frames, counted
    // before anything is decoded. No output is created, or it is removed again, when the input
    // is rejected.
    static int decodeFile(const std::string& amrPath, const std::string& wavPath,
                          std::uint32_t maxFrames = kMaxVoiceFrames);

    // The same on open streams; wav must be seekable, its header is rewritten at the end. The
    // frames of a regular file are counted first; any other stream is cut off with kTooLong at
    // its frame past maxFrames, which leaves wav partly written.
    static int decodeStream(std::FILE* amr, std::FILE* wav,
                            std::uint32_t maxFrames = kMaxVoiceFrames);

    // The WAV header for a file of the given number of frames.
    static std::array<std::uint8_t, kWavHeaderBytes> wavHeader(std::uint32_t frames);

private:
    std::unique_ptr<void, void (*)(void*)> state_;
};

}  // namespace oa

// Fuzz target: WAV file bytes through the encoder's chunk walk, sample conversion and frame loop.
// The AMR file it writes must hold exactly its frame count of 12.2 kbit/s frames and decode back
// into as many.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FuzzFiles.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"

namespace {

std::uint64_t le32(const std::uint8_t* at) {
    return static_cast<std::uint64_t>(at[0]) | static_cast<std::uint64_t>(at[1]) << 8 |
           static_cast<std::uint64_t>(at[2]) << 16 | static_cast<std::uint64_t>(at[3]) << 24;
}

std::uint32_t le16(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8;
}

// The frame count the encoder must report, worked out on the bytes in memory: skip the RIFF
// header, walk the chunks (each padded to an even length) to "data", note the format chunk on
// the way, and count the whole frames of voice samples that the part of the data chunk inside
// the input gives: its channels mixed to one, its rate taken down to 8000 Hz.
int expectedFrames(const std::uint8_t* data, std::size_t size) {
    std::uint64_t at = 12;
    bool pcm16 = true;
    std::uint64_t channels = 1;
    std::uint64_t rate = 8000;
    for (;;) {
        if (at + 8 > size) {
            return 0;
        }
        const std::uint64_t chunkSize = le32(data + at + 4);
        if (std::memcmp(data + at, "data", 4) == 0) {
            if (!pcm16 || channels < 1 || rate < oa::AmrEncoder::kMinRate ||
                rate > oa::AmrEncoder::kMaxRate) {
                return 0;
            }
            const std::uint64_t present = std::min<std::uint64_t>(chunkSize, size - (at + 8));
            const std::uint64_t mono = present / (2 * channels);
            const auto voice = static_cast<std::uint64_t>(static_cast<double>(mono) * 8000 /
                                                          static_cast<double>(rate));
            return static_cast<int>((mono == 0 || rate == 8000 ? mono : voice) /
                                    oa::AmrFrame::kSamplesPerFrame);
        }
        if (std::memcmp(data + at, "fmt ", 4) == 0 && chunkSize >= 16) {
            if (at + 24 > size) {
                return 0;
            }
            const std::uint8_t* format = data + at + 8;
            const std::uint32_t tag = le16(format);
            pcm16 = (tag == 1 || tag == 0xFFFE) && le16(format + 14) == 16;
            channels = le16(format + 2);
            rate = le32(format + 4);
        }
        at += 8 + chunkSize + (chunkSize & 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oa;
    fuzz::silenceLog();
    CFile wav = fuzz::inputFile(data, size);
    fuzz::require(static_cast<bool>(wav));
    std::FILE* amr = fuzz::scratchFile(0);
    const int frames = AmrEncoder::encodeStream(wav.get(), amr);

    fuzz::require(frames == expectedFrames(data, size));
    const long amrSize = fuzz::fileSize(amr);
    if (frames == 0) {
        fuzz::require(amrSize == static_cast<long>(AmrFrame::kMagic.size()));
        return 0;
    }
    fuzz::require(amrSize == static_cast<long>(AmrFrame::kMagic.size()) +
                                 static_cast<long>(frames) * AmrFrame::kMaxFrameBytes);
    std::rewind(amr);
    std::uint8_t bytes[AmrFrame::kMaxFrameBytes];
    fuzz::require(std::fread(bytes, 1, AmrFrame::kMagic.size(), amr) == AmrFrame::kMagic.size());
    fuzz::require(std::memcmp(bytes, AmrFrame::kMagic.data(), AmrFrame::kMagic.size()) == 0);
    for (int i = 0; i < frames; ++i) {
        fuzz::require(std::fread(bytes, 1, sizeof bytes, amr) == sizeof bytes && bytes[0] == 0x3C);
    }

    std::rewind(amr);
    fuzz::require(AmrDecoder::decodeStream(amr, fuzz::scratchFile(1)) == frames);
    return 0;
}

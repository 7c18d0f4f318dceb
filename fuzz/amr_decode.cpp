// Fuzz target: AMR file bytes through the decoder. Whatever the bytes, the decoder must not read
// past its frame buffer, and the WAV it writes must match its frame count and encode back into
// that many frames.
#include <cstdint>
#include <cstring>

#include "FuzzFiles.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"

namespace {

// The frame count the decoder must report, worked out on the bytes in memory: the first frame
// always counts; each later one starts at the next byte equal to the first header byte and counts
// when it ends inside the input.
int expectedFrames(const std::uint8_t* data, std::size_t size) {
    const std::size_t magic = oa::AmrFrame::kMagic.size();
    if (size < magic || std::memcmp(data, oa::AmrFrame::kMagic.data(), magic) != 0) {
        return 0;
    }
    const std::uint8_t header = size > magic ? data[magic] : 0;
    const auto frameSize = static_cast<std::size_t>(oa::AmrFrame::sizeOf(header));
    if (frameSize == 0) {
        return 0;
    }
    int frames = 1;
    for (std::size_t at = magic + frameSize; at < size; ++at) {
        if (data[at] != header) {
            continue;
        }
        if (at + frameSize > size) {
            break;
        }
        ++frames;
        at += frameSize - 1;
    }
    return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oa;
    fuzz::silenceLog();
    CFile amr = fuzz::inputFile(data, size);
    fuzz::require(static_cast<bool>(amr));
    std::FILE* wav = fuzz::scratchFile(0);
    const int frames = AmrDecoder::decodeStream(amr.get(), wav);

    if (frames == AmrDecoder::kTooLong) {
        // Only an input with room for more frames than a voice message holds is refused.
        const std::size_t magic = AmrFrame::kMagic.size();
        fuzz::require(size > magic && AmrDecoder::framesInSize(size - magic, data[magic]) >
                                          AmrDecoder::kMaxVoiceFrames);
        return 0;
    }
    fuzz::require(frames == expectedFrames(data, size));
    if (frames == 0) {
        return 0;
    }
    fuzz::require(fuzz::fileSize(wav) ==
                  static_cast<long>(AmrDecoder::kWavHeaderBytes) +
                      static_cast<long>(frames) * AmrFrame::kPcmBytesPerFrame);
    std::uint8_t header[AmrDecoder::kWavHeaderBytes];
    std::rewind(wav);
    fuzz::require(std::fread(header, 1, sizeof header, wav) == sizeof header);
    const auto expected = AmrDecoder::wavHeader(static_cast<std::uint32_t>(frames));
    fuzz::require(std::memcmp(header, expected.data(), sizeof header) == 0);

    std::rewind(wav);
    fuzz::require(AmrEncoder::encodeStream(wav, fuzz::scratchFile(1)) == frames);
    return 0;
}

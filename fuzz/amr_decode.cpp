// Fuzz target: AMR file bytes through the decoder. Whatever the bytes, the decoder must not read
// past its frame buffer, frames of every type must be walked by their own headers, and the WAV it
// writes must match its frame count and encode back into that many frames.
#include <cstdint>
#include <cstring>

#include "FuzzFiles.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"

namespace {

// The frame count the decoder must report, worked out on the bytes in memory: the first frame
// always counts; after it each byte that can begin a frame begins one, of the size its own type
// gives, which counts when it ends inside the input; other bytes are skipped. A count past a
// voice message's length is kTooLong.
int expectedFrames(const std::uint8_t* data, std::size_t size) {
    using oa::AmrFrame;
    const std::size_t magic = AmrFrame::kMagic.size();
    if (size < magic || std::memcmp(data, AmrFrame::kMagic.data(), magic) != 0) {
        return 0;
    }
    const std::uint8_t first = size > magic ? data[magic] : 0;
    if (AmrFrame::storedSizeOf(first) == 0) {
        return 0;
    }
    int frames = 1;
    std::size_t at = magic + static_cast<std::size_t>(AmrFrame::storedSizeOf(first));
    while (at < size) {
        if (!AmrFrame::isHeader(data[at])) {
            ++at;
            continue;
        }
        const auto frameSize = static_cast<std::size_t>(AmrFrame::storedSizeOf(data[at]));
        if (at + frameSize > size) {
            break;
        }
        if (frames == static_cast<int>(oa::AmrDecoder::kMaxVoiceFrames)) {
            return oa::AmrDecoder::kTooLong;
        }
        ++frames;
        at += frameSize;
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

    fuzz::require(frames == expectedFrames(data, size));
    if (frames == 0 || frames == AmrDecoder::kTooLong) {
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

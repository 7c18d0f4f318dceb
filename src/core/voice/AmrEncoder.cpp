// AmrEncoder: WAV chunk search and frame-by-frame encoding on opencore-amrnb.
#include "core/voice/AmrEncoder.h"

#include <opencore-amrnb/interf_enc.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/platform/Log.h"
#include "core/voice/CFile.h"

namespace oa {

static_assert(sizeof(short) == 2, "the codec works on 16-bit samples");

namespace {

std::uint32_t readLe32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool skip(std::FILE* file, long bytes) {
    return std::fseek(file, bytes, SEEK_CUR) == 0;
}

}  // namespace

AmrEncoder::AmrEncoder() : state_(Encoder_Interface_init(0), &Encoder_Interface_exit) {}

int AmrEncoder::encode(const short* samples, std::uint8_t* out) {
    if (!state_) {
        return 0;
    }
    std::copy_n(samples, scratch_.size(), scratch_.begin());
    const int written = Encoder_Interface_Encode(state_.get(), MR122, scratch_.data(), out, 0);
    return written > 0 && written <= AmrFrame::kMaxFrameBytes ? written : 0;
}

bool AmrEncoder::findSamples(std::FILE* wav) {
    std::uint8_t riff[12];
    if (std::fread(riff, 1, sizeof riff, wav) != sizeof riff) {
        return false;
    }
    std::uint8_t header[8];
    if (std::fread(header, 1, sizeof header, wav) != sizeof header) {
        return false;
    }
    // A format block declared longer than 16 bytes is taken to be the 20-byte block that the
    // decoder writes.
    if (!skip(wav, readLe32(header + 4) > 16 ? 20 : 16)) {
        return false;
    }
    for (;;) {
        if (std::fread(header, 1, sizeof header, wav) != sizeof header) {
            return false;
        }
        if (std::memcmp(header, "data", 4) == 0) {
            return true;
        }
        if (!skip(wav, static_cast<long>(readLe32(header + 4)))) {
            return false;
        }
    }
}

int AmrEncoder::encodeStream(std::FILE* wav, std::FILE* amr) {
    if (std::fwrite(AmrFrame::kMagic.data(), 1, AmrFrame::kMagic.size(), amr) !=
        AmrFrame::kMagic.size()) {
        return 0;
    }
    if (!findSamples(wav)) {
        log("amr: no \"data\" chunk in the WAV file");
        return 0;
    }
    AmrEncoder encoder;
    if (!encoder.isValid()) {
        return 0;
    }
    std::uint8_t pcm[AmrFrame::kPcmBytesPerFrame];
    std::array<short, AmrFrame::kSamplesPerFrame> speech{};
    std::uint8_t frame[AmrFrame::kMaxFrameBytes];
    int frames = 0;
    while (frames < INT_MAX && std::fread(pcm, 1, sizeof pcm, wav) == sizeof pcm) {
        for (std::size_t i = 0; i < speech.size(); ++i) {
            speech[i] = static_cast<short>(pcm[2 * i] | pcm[2 * i + 1] << 8);
        }
        const int bytes = encoder.encode(speech.data(), frame);
        if (bytes == 0) {
            log("amr: the speech encoder failed");
            return 0;
        }
        if (std::fwrite(frame, 1, static_cast<std::size_t>(bytes), amr) !=
            static_cast<std::size_t>(bytes)) {
            log("amr: cannot write the AMR file");
            return 0;
        }
        ++frames;
    }
    return frames;
}

int AmrEncoder::encodeFile(const std::string& wavPath, const std::string& amrPath, int channels,
                           int bitsPerSample) {
    if (channels != 1 || bitsPerSample != 16) {
        log("amr: only one channel of 16-bit samples can be encoded");
        return 0;
    }
    CFile wav = CFile::open(wavPath, "rb");
    if (!wav) {
        log("amr: cannot open " + wavPath);
        return 0;
    }
    if (CFile::sameFile(wavPath, amrPath)) {
        log("amr: the AMR path names the WAV file itself: " + amrPath);
        return 0;
    }
    CFile amr = CFile::open(amrPath, "wb");
    if (!amr) {
        log("amr: cannot create " + amrPath);
        return 0;
    }
    const int frames = encodeStream(wav.get(), amr.get());
    if (!amr.close()) {
        log("amr: cannot write " + amrPath);
        return 0;
    }
    return frames;
}

}  // namespace oa

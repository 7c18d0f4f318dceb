// AmrEncoder: RIFF chunk walk and frame-by-frame encoding on opencore-amrnb.
#include "core/voice/AmrEncoder.h"

#include <opencore-amrnb/interf_enc.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

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

std::optional<std::uint32_t> AmrEncoder::findSamples(std::FILE* wav) {
    // The RIFF header: "RIFF", the file's size, "WAVE".
    if (!skip(wav, 12)) {
        return std::nullopt;
    }
    // Every chunk is an id, a size and that many bytes, padded to an even length. The format
    // chunk is 16, 18, 20 or 40 bytes long depending on the writer; other chunks (LIST, fact,
    // JUNK) may come before or after the samples.
    for (;;) {
        std::uint8_t header[8];
        if (std::fread(header, 1, sizeof header, wav) != sizeof header) {
            return std::nullopt;
        }
        const std::uint32_t size = readLe32(header + 4);
        if (std::memcmp(header, "data", 4) == 0) {
            return size;
        }
        // A size past the end of the file leaves nothing to read there; the next read fails.
        if (!skip(wav, static_cast<long>(size) + static_cast<long>(size & 1))) {
            return std::nullopt;
        }
    }
}

int AmrEncoder::encodeStream(std::FILE* wav, std::FILE* amr) {
    if (std::fwrite(AmrFrame::kMagic.data(), 1, AmrFrame::kMagic.size(), amr) !=
        AmrFrame::kMagic.size()) {
        return 0;
    }
    const std::optional<std::uint32_t> dataBytes = findSamples(wav);
    if (!dataBytes) {
        log("amr: no \"data\" chunk in the WAV file");
        return 0;
    }
    // A data chunk that claims more than the file holds (a recording cut short) ends with the
    // file.
    std::uint32_t left = *dataBytes;
    AmrEncoder encoder;
    if (!encoder.isValid()) {
        return 0;
    }
    std::uint8_t pcm[AmrFrame::kPcmBytesPerFrame];
    std::array<short, AmrFrame::kSamplesPerFrame> speech{};
    std::uint8_t frame[AmrFrame::kMaxFrameBytes];
    int frames = 0;
    while (frames < INT_MAX && left >= sizeof pcm &&
           std::fread(pcm, 1, sizeof pcm, wav) == sizeof pcm) {
        left -= static_cast<std::uint32_t>(sizeof pcm);
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

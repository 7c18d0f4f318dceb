// AmrEncoder: RIFF chunk walk and frame-by-frame encoding on opencore-amrnb.
#include "core/voice/AmrEncoder.h"

#include <opencore-amrnb/interf_enc.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "core/platform/Log.h"
#include "core/voice/CFile.h"
#include "core/voice/VoicePcm.h"

namespace oa {

static_assert(sizeof(short) == 2, "the codec works on 16-bit samples");

namespace {

std::uint32_t readLe32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t readLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

bool skip(std::FILE* file, long bytes) {
    return std::fseek(file, bytes, SEEK_CUR) == 0;
}

// The 16-bit samples of the data chunk (`bytes` long, or up to the end of the file when it
// claims more) in the voice format: channels mixed to one and the rate made 8000 Hz, so that a
// stereo or 44.1 kHz file is encoded as the sound it holds, not as noise.
std::vector<short> voiceSamples(std::FILE* wav, std::uint32_t bytes, int channels, int rate) {
    const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels);
    std::vector<std::int16_t> mono;
    std::vector<std::uint8_t> block(std::max(frameBytes, 65536 / frameBytes * frameBytes));
    std::uint32_t left = bytes;
    while (left >= frameBytes) {
        const std::size_t want =
            std::min<std::size_t>(block.size(), left / frameBytes * frameBytes);
        const std::size_t got = std::fread(block.data(), 1, want, wav);
        for (std::size_t at = 0; at + frameBytes <= got; at += frameBytes) {
            long sum = 0;
            for (std::size_t c = 0; c < frameBytes; c += 2) {
                sum += static_cast<std::int16_t>(block[at + c] | block[at + c + 1] << 8);
            }
            mono.push_back(static_cast<std::int16_t>(sum / channels));
        }
        if (got < want) {
            break;
        }
        left -= static_cast<std::uint32_t>(got);
    }
    mono = VoicePcm::resample(mono, rate, VoicePcm::kRate);
    return {mono.begin(), mono.end()};
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

std::optional<std::uint32_t> AmrEncoder::findSamples(std::FILE* wav, WavFormat* format) {
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
        std::uint32_t size = readLe32(header + 4);
        if (std::memcmp(header, "data", 4) == 0) {
            return size;
        }
        if (format && std::memcmp(header, "fmt ", 4) == 0 && size >= 16) {
            std::uint8_t body[16];
            if (std::fread(body, 1, sizeof body, wav) != sizeof body) {
                return std::nullopt;
            }
            format->present = true;
            format->tag = readLe16(body);
            format->channels = readLe16(body + 2);
            format->sampleRate = readLe32(body + 4);
            format->bitsPerSample = readLe16(body + 14);
            size -= sizeof body;
            if (!skip(wav, static_cast<long>(size) + static_cast<long>(readLe32(header + 4) & 1))) {
                return std::nullopt;
            }
            continue;
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
    WavFormat format;
    const std::optional<std::uint32_t> dataBytes = findSamples(wav, &format);
    if (!dataBytes) {
        log("amr: no \"data\" chunk in the WAV file");
        return 0;
    }
    // Without a format chunk the samples are taken as the voice format itself.
    // Only ever fewer samples than read: rates below the voice rate are no recording of speech.
    const bool pcm16 = format.bitsPerSample == 16 && (format.tag == 1 || format.tag == 0xFFFE);
    if (format.present && (!pcm16 || format.channels < 1 || format.sampleRate < kMinRate ||
                           format.sampleRate > kMaxRate)) {
        log("amr: only 16-bit PCM samples at 8000 to 384000 Hz can be encoded (the WAV file "
            "holds format " +
            std::to_string(format.tag) + ", " + std::to_string(format.bitsPerSample) + " bits, " +
            std::to_string(format.channels) + " channels, " + std::to_string(format.sampleRate) +
            " Hz)");
        return 0;
    }
    const std::vector<short> speech =
        voiceSamples(wav, *dataBytes, format.present ? format.channels : 1,
                     format.present ? static_cast<int>(format.sampleRate) : VoicePcm::kRate);
    AmrEncoder encoder;
    if (!encoder.isValid()) {
        return 0;
    }
    std::uint8_t frame[AmrFrame::kMaxFrameBytes];
    int frames = 0;
    for (std::size_t at = 0; frames < INT_MAX && speech.size() - at >= AmrFrame::kSamplesPerFrame;
         at += AmrFrame::kSamplesPerFrame) {
        const int bytes = encoder.encode(speech.data() + at, frame);
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

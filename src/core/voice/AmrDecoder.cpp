// AmrDecoder: frame walking and decoding on opencore-amrnb, WAV header writing.
#include "core/voice/AmrDecoder.h"

#include <opencore-amrnb/interf_dec.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/platform/Log.h"
#include "core/voice/CFile.h"

namespace oa {

static_assert(sizeof(short) == 2, "the codec works on 16-bit samples");

namespace {

void putLe16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Reads the magic and the first frame's header byte. An empty file after the magic gives the
// header byte 0, as if its first frame were all zero. Nothing for a file without the magic or of a
// type without a size.
std::optional<std::uint8_t> readFirstHeader(std::FILE* amr) {
    char magic[AmrFrame::kMagic.size()];
    if (std::fread(magic, 1, sizeof magic, amr) != sizeof magic ||
        std::memcmp(magic, AmrFrame::kMagic.data(), sizeof magic) != 0) {
        log("amr: not an AMR file");
        return std::nullopt;
    }
    const int first = std::fgetc(amr);
    const auto header = static_cast<std::uint8_t>(first == EOF ? 0 : first);
    if (AmrFrame::storedSizeOf(header) == 0) {
        log("amr: unsupported frame type " + std::to_string(AmrFrame::typeOf(header)));
        return std::nullopt;
    }
    return header;
}

using FrameBuffer = std::array<std::uint8_t, AmrFrame::kMaxFrameBytes>;

// Reads the rest of the first frame behind its header byte. It counts even when the file ends
// inside it (or holds none): its missing bytes stay zero.
void readFirstFrame(std::FILE* amr, std::uint8_t header, FrameBuffer& frame) {
    frame.fill(0);
    frame[0] = header;
    const auto rest = static_cast<std::size_t>(AmrFrame::storedSizeOf(header) - 1);
    [[maybe_unused]] const std::size_t read = std::fread(frame.data() + 1, 1, rest, amr);
}

// Reads the next frame, whatever its type: bytes that cannot begin a frame are skipped, and the
// frame's own header byte gives its size. False at the end of the input and for a truncated last
// frame, which is not decoded.
bool readFrame(std::FILE* amr, FrameBuffer& frame) {
    int byte;
    while ((byte = std::fgetc(amr)) != EOF &&
           !AmrFrame::isHeader(static_cast<std::uint8_t>(byte))) {
    }
    if (byte == EOF) {
        return false;
    }
    frame.fill(0);
    frame[0] = static_cast<std::uint8_t>(byte);
    const auto rest = static_cast<std::size_t>(AmrFrame::storedSizeOf(frame[0]) - 1);
    return std::fread(frame.data() + 1, 1, rest, amr) == rest;
}

bool writeHeader(std::FILE* wav, std::uint32_t frames) {
    const auto header = AmrDecoder::wavHeader(frames);
    return std::fwrite(header.data(), 1, header.size(), wav) == header.size();
}

bool writeSamples(std::FILE* wav, const short* samples) {
    std::uint8_t pcm[AmrFrame::kPcmBytesPerFrame];
    for (int i = 0; i < AmrFrame::kSamplesPerFrame; ++i) {
        putLe16(pcm + 2 * i, static_cast<std::uint16_t>(samples[i]));
    }
    return std::fwrite(pcm, 1, sizeof pcm, wav) == sizeof pcm;
}

// Whether a regular file behind its first header byte (already read) holds more than maxFrames
// frames, so that it is refused before anything is written. The frames are counted the way
// decodeFrames reads them, since their sizes vary from 1 to 32 bytes; the count stops past
// maxFrames and the file is left where it was. A pipe or a stream in memory is not measured.
bool framesExceed(std::FILE* amr, std::uint8_t header, std::uint32_t maxFrames) {
    struct stat info {};
    const int fd = ::fileno(amr);
    const long at = std::ftell(amr);
    if (fd < 0 || at < 1 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    FrameBuffer frame{};
    readFirstFrame(amr, header, frame);
    std::uint64_t frames = 1;
    while (frames <= maxFrames && readFrame(amr, frame)) {
        ++frames;
    }
    std::clearerr(amr);
    if (std::fseek(amr, at, SEEK_SET) != 0) {
        return false;
    }
    if (frames <= maxFrames) {
        return false;
    }
    log("amr: longer than " + std::to_string(maxFrames) + " frames (" +
        std::to_string(info.st_size) + " bytes), not decoded");
    return true;
}

// Decodes the frames from the first header byte (already read) into wav.
int decodeFrames(std::FILE* amr, std::uint8_t header, std::FILE* wav, std::uint32_t maxFrames) {
    if (!writeHeader(wav, 0)) {
        return 0;
    }
    AmrDecoder decoder;
    if (!decoder.isValid()) {
        return 0;
    }
    FrameBuffer frame{};
    short samples[AmrFrame::kSamplesPerFrame] = {};
    readFirstFrame(amr, header, frame);
    std::uint32_t frames = 0;
    bool written =
        decoder.decode(frame.data(), frame.size(), samples) && writeSamples(wav, samples);
    if (written) {
        frames = 1;
    }
    while (written && readFrame(amr, frame)) {
        if (frames == maxFrames) {
            log("amr: longer than " + std::to_string(maxFrames) + " frames, decoding stopped");
            return AmrDecoder::kTooLong;
        }
        written = decoder.decode(frame.data(), frame.size(), samples) && writeSamples(wav, samples);
        if (written) {
            ++frames;
        }
    }
    logDiagnostic("frame = " + std::to_string(frames));
    if (!written) {
        log("amr: cannot write the WAV file");
        return 0;
    }
    if (std::fseek(wav, 0, SEEK_SET) != 0 || !writeHeader(wav, frames) || std::fflush(wav) != 0) {
        log("amr: cannot write the WAV header");
        return 0;
    }
    return static_cast<int>(frames);
}

}  // namespace

AmrDecoder::AmrDecoder() : state_(Decoder_Interface_init(), &Decoder_Interface_exit) {}

bool AmrDecoder::decode(const std::uint8_t* frame, std::size_t length, short* samples) {
    if (!state_ || length == 0) {
        return false;
    }
    const int size = AmrFrame::storedSizeOf(frame[0]);
    if (size == 0 || length < static_cast<std::size_t>(size)) {
        return false;
    }
    // The codec is handed a whole zero-padded frame buffer, so that however many bytes it reads
    // for a type, it reads them here.
    FrameBuffer padded{};
    std::copy_n(frame, size, padded.begin());
    const int type = AmrFrame::typeOf(frame[0]);
    if (type > 8 && type < AmrFrame::kNoDataType) {
        // The comfort noise of other codecs means nothing to this one: it stands for a frame
        // that was not sent, and the codec fills the gap as it does for one.
        padded.fill(0);
        padded[0] = static_cast<std::uint8_t>(AmrFrame::kNoDataType << 3 | 0x04);
    }
    Decoder_Interface_Decode(state_.get(), padded.data(), samples, 0);
    return true;
}

std::array<std::uint8_t, AmrDecoder::kWavHeaderBytes> AmrDecoder::wavHeader(std::uint32_t frames) {
    const std::uint32_t dataBytes =
        frames * static_cast<std::uint32_t>(AmrFrame::kPcmBytesPerFrame);
    std::array<std::uint8_t, kWavHeaderBytes> h{};
    std::memcpy(h.data(), "RIFF", 4);
    putLe32(h.data() + 4, dataBytes + 40);
    std::memcpy(h.data() + 8, "WAVE", 4);
    std::memcpy(h.data() + 12, "fmt ", 4);
    putLe32(h.data() + 16, 20);     // format block size: 16 + a zero extension size and padding
    putLe16(h.data() + 20, 1);      // PCM
    putLe16(h.data() + 22, 1);      // channels
    putLe32(h.data() + 24, 8000);   // samples per second
    putLe32(h.data() + 28, 16000);  // bytes per second
    putLe16(h.data() + 32, 2);      // bytes per sample frame
    putLe16(h.data() + 34, 16);     // bits per sample
    std::memcpy(h.data() + 40, "data", 4);
    putLe32(h.data() + 44, dataBytes);
    return h;
}

int AmrDecoder::decodeStream(std::FILE* amr, std::FILE* wav, std::uint32_t maxFrames) {
    maxFrames = std::min(maxFrames, kMaxFrames);
    const auto header = readFirstHeader(amr);
    if (!header) {
        return 0;
    }
    return framesExceed(amr, *header, maxFrames) ? kTooLong
                                                 : decodeFrames(amr, *header, wav, maxFrames);
}

int AmrDecoder::decodeFile(const std::string& amrPath, const std::string& wavPath,
                           std::uint32_t maxFrames) {
    CFile amr = CFile::open(amrPath, "rb");
    if (!amr) {
        log("amr: cannot open " + amrPath);
        return 0;
    }
    maxFrames = std::min(maxFrames, kMaxFrames);
    const auto header = readFirstHeader(amr.get());
    if (!header) {
        return 0;
    }
    if (framesExceed(amr.get(), *header, maxFrames)) {
        return kTooLong;
    }
    if (CFile::sameFile(amrPath, wavPath)) {
        log("amr: the WAV path names the AMR file itself: " + wavPath);
        return 0;
    }
    CFile wav = CFile::open(wavPath, "wb");
    if (!wav) {
        log("amr: cannot create " + wavPath);
        return 0;
    }
    const int frames = decodeFrames(amr.get(), *header, wav.get(), maxFrames);
    if (!wav.close() || frames < 1) {
        if (frames > 0) {
            log("amr: cannot write " + wavPath);
        }
        std::remove(wavPath.c_str());
        return frames > 0 ? 0 : frames;
    }
    return frames;
}

}  // namespace oa

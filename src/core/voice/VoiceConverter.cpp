// VoiceConverter: path derivation around the AMR file codec. Paths are UTF-8 and handed to the
// file system as they are, so voice files with non-ASCII names convert like any other.
#include "core/voice/VoiceConverter.h"

#include "core/platform/Log.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"

namespace oa {

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

std::string VoiceConverter::amrPath(const std::string& wavPath) {
    return replaceAll(wavPath, "wav", "amr");
}

std::string VoiceConverter::wavPath(const std::string& amrPath) {
    return replaceAll(amrPath, "amr", "wav");
}

std::optional<std::string> VoiceConverter::wavToAmr(const std::string& wavPath) {
    log(wavPath);
    std::string amr = amrPath(wavPath);
    if (AmrEncoder::encodeFile(wavPath, amr, 1, 16) < 1) {
        return std::nullopt;
    }
    return amr;
}

std::optional<std::string> VoiceConverter::amrToWav(const std::string& amrPath) {
    std::string wav = wavPath(amrPath);
    if (AmrDecoder::decodeFile(amrPath, wav) < 1) {
        return std::nullopt;
    }
    return wav;
}

}  // namespace oa

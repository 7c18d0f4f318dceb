// VoiceConverter: path derivation around the AMR file codec. Paths are UTF-8 and handed to the
// file system as they are, so voice files with non-ASCII names convert like any other.
#include "core/voice/VoiceConverter.h"

#include <string_view>

#include "core/platform/Log.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"

namespace oa {

namespace {

// Only the file name's own extension is swapped: the folders above it (a home such as
// /tmp/wav_amr_home) keep their names. A path without the extension is returned as it is, and
// the codec then refuses to convert a file onto itself.
std::string replaceExtension(const std::string& path, std::string_view from, std::string_view to) {
    if (!path.ends_with(from)) {
        return path;
    }
    return path.substr(0, path.size() - from.size()) + std::string(to);
}

}  // namespace

std::string VoiceConverter::amrPath(const std::string& wavPath) {
    return replaceExtension(wavPath, ".wav", ".amr");
}

std::string VoiceConverter::wavPath(const std::string& amrPath) {
    return replaceExtension(amrPath, ".amr", ".wav");
}

std::optional<std::string> VoiceConverter::wavToAmr(const std::string& wavPath) {
    logDiagnostic(wavPath);
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

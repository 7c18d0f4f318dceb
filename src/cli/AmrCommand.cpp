// oa-cli amr: converts a 16-bit PCM WAV file to an AMR file and back, as voice messages do.
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "encode IN.wav OUT.amr | decode IN.amr OUT.wav\n"
    "      encode writes the 16-bit PCM samples of IN.wav, mixed to one channel at 8000 Hz, as\n"
    "      12.2 kbit/s AMR frames; decode writes the frames of IN.amr as an 8000 Hz 16-bit mono\n"
    "      WAV file. Prints the number of frames; a conversion that yields no frame fails, and\n"
    "      so does a decode of more than ten minutes (30000 frames of 20 ms), the longest a voice\n"
    "      message lasts.";

int run(const Args& args) {
    if (args.size() != 3 || (args[0] != "encode" && args[0] != "decode")) {
        return fail(std::string("usage: oa-cli amr ") + kUsage);
    }
    const std::string& mode = args[0];
    const std::string& in = args[1];
    const std::string& out = args[2];
    if (mode == "encode") {
        const int frames = AmrEncoder::encodeFile(in, out, 1, 16);
        if (frames < 1) {
            return fail("amr encode: no frame written to \"" + out + "\" (\"" + in +
                        "\" must be a readable WAV file of 16-bit PCM samples with a \"data\" "
                        "chunk of at least 20 ms, and the output must be writable)");
        }
        std::cout << frames << " frames\n";
        return 0;
    }
    const int frames = AmrDecoder::decodeFile(in, out);
    if (frames == AmrDecoder::kTooLong) {
        return fail("amr decode: \"" + in + "\" is longer than ten minutes (more than " +
                    std::to_string(AmrDecoder::kMaxVoiceFrames) +
                    " frames of 20 ms); nothing written to \"" + out + "\"");
    }
    if (frames < 1) {
        return fail("amr decode: no frame written to \"" + out + "\" (\"" + in +
                    "\" must be a readable AMR-NB file beginning with \"#!AMR\\n\" and a frame of "
                    "type 0 to 11 or 15, and the output must be writable)");
    }
    std::cout << frames << " frames\n";
    return 0;
}

}  // namespace

OA_CLI_COMMAND("amr", kUsage, run);

}  // namespace oa::cli

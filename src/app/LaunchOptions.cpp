// LaunchOptions: parsing of the command line, before Qt sees the rest of it.
#include "app/LaunchOptions.h"

#include <charconv>
#include <cmath>

namespace oa {

namespace {

constexpr double kMinScale = 0.5;
constexpr double kMaxScale = 8;

std::optional<double> parseScale(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value) ||
        value < kMinScale || value > kMaxScale) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

LaunchOptions parseLaunchOptions(const std::vector<std::string>& args) {
    LaunchOptions options;
    for (size_t i = 0; i < args.size() && options.error.empty(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const bool takesValue = name == "--home" || name == "--screen" || name == "--scale" ||
                                name == "--screenshot" || name == "--tour" ||
                                name == "--voice-input";
        if (takesValue && !value) {
            if (i + 1 >= args.size()) {
                options.error = name + " needs a value";
                break;
            }
            value = args[++i];
        }
        if (name == "--home") {
            if (value->empty()) {
                options.error = "--home needs a folder";
            }
            options.home = *value;
        } else if (name == "--screen") {
            if (*value == "320x480") {
                options.screen = QSize(320, 480);
            } else if (*value == "320x568") {
                options.screen = QSize(320, 568);
            } else {
                options.error = "--screen must be 320x480 or 320x568, not " + *value;
            }
        } else if (name == "--scale") {
            options.scale = parseScale(*value);
            if (!options.scale) {
                options.error = "--scale must be a number from 0.5 to 8, not " + *value;
            }
        } else if (name == "--screenshot") {
            if (value->empty()) {
                options.error = "--screenshot needs a file";
            }
            options.screenshot = *value;
        } else if (name == "--tour") {
            if (value->empty()) {
                options.error = "--tour needs a folder";
            }
            options.tour = *value;
        } else if (name == "--voice-input") {
            if (value->empty()) {
                options.error = "--voice-input needs a WAV file";
            }
            options.voiceInput = *value;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else {
            options.rest.push_back(args[i]);
        }
    }
    return options;
}

std::string launchUsage() {
    return "usage: oa-client [--home DIR] [--screen 320x480|320x568] [--scale N] "
           "[--screenshot PATH] [--tour DIR]\n"
           "                [--voice-input FILE.wav] [--version]\n"
           "  --home DIR         application home (settings in DIR/Documents)\n"
           "  --screen WxH       phone screen in points: 320x480 (default) or 320x568\n"
           "  --scale N          enlarge the whole window N times (0.5 to 8)\n"
           "  --screenshot PATH  write a PNG of the first screen to PATH and quit\n"
           "  --tour DIR         walk through sign-in, environments, settings, home grid and\n"
           "                     the \"more\" page, signing in with the stored record; write a\n"
           "                     PNG of each into DIR and quit\n"
           "  --voice-input F    record voice messages from the WAV file F instead of the\n"
           "                     microphone (for as long as the button is held)\n"
           "  --version          print the version and where the resources and the modules\n"
           "                     are found, and quit\n";
}

}  // namespace oa

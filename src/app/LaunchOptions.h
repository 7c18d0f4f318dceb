// LaunchOptions: the command line of oa-client.
#pragma once

#include <QSize>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace oa {

struct LaunchOptions {
    std::optional<std::filesystem::path> home;        // --home DIR
    QSize screen{320, 480};                           // --screen 320x480|320x568, in points
    std::optional<double> scale;                      // --scale N: device pixels per point
    std::optional<std::filesystem::path> screenshot;  // --screenshot PATH
    std::optional<std::filesystem::path> tour;        // --tour DIR
    std::optional<std::filesystem::path> voiceInput;  // --voice-input FILE.wav
    bool help = false;                                // --help, -h
    bool version = false;                             // --version
    std::vector<std::string> rest;  // arguments left for Qt (-platform, -style, ...)
    std::string error;              // set when the command line is unusable
};

// Reads the arguments after the program name. "--name value" and "--name=value" both work.
LaunchOptions parseLaunchOptions(const std::vector<std::string>& args);

std::string launchUsage();

}  // namespace oa

// Plain 16-bit PCM WAV files: the recordings the client writes and the files it plays.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace oa {

struct Pcm16 {
    int sampleRate = 8000;
    int channels = 1;
    std::vector<std::int16_t> samples;  // interleaved when channels > 1
};

class WavFile {
public:
    // Reads a RIFF/WAVE file of 16-bit PCM samples; nothing for any other file. A "data" chunk
    // cut short keeps the whole samples it holds.
    static std::optional<Pcm16> read(const QString& path);
    // Writes the samples as a canonical 44-byte-header WAV file; false on a write error, which
    // leaves no file behind.
    static bool write(const QString& path, const Pcm16& pcm);
};

}  // namespace oa

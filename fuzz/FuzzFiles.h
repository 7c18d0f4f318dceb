// Streams for the fuzz targets: fuzz input read as a file, and reusable scratch output files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/platform/Log.h"
#include "core/voice/CFile.h"

namespace oa::fuzz {

// The codecs log every conversion; under fuzzing that is only noise.
inline void silenceLog() {
    static const bool silenced = [] {
        setLogSink([](std::string_view) {});
        return true;
    }();
    (void)silenced;
}

// The input bytes as a read-only stream.
inline CFile inputFile(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return CFile::open("/dev/null", "rb");
    }
    return CFile(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
}

// An empty, seekable scratch file; slot picks one of a few files kept open for the process.
inline std::FILE* scratchFile(int slot) {
    static std::FILE* files[2] = {std::tmpfile(), std::tmpfile()};
    std::FILE* file = files[slot];
    if (!file || std::fflush(file) != 0 || ftruncate(fileno(file), 0) != 0) {
        std::abort();
    }
    std::rewind(file);
    return file;
}

inline long fileSize(std::FILE* file) {
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    return std::ftell(file);
}

// An invariant of the code under test does not hold: stop so the fuzzer records the input.
inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace oa::fuzz

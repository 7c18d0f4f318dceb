// Layout of the single-channel AMR-NB file: the magic, the frame header byte and the frame size
// of each frame type.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace oa {

struct AmrFrame {
    // Every AMR file starts with these six bytes.
    static constexpr std::string_view kMagic{"#!AMR\n", 6};

    // One 20 ms speech frame: 160 samples of 16 bits at 8000 Hz.
    static constexpr int kSamplesPerFrame = 160;
    static constexpr int kPcmBytesPerFrame = kSamplesPerFrame * 2;
    // The largest frame (type 7, 12.2 kbit/s) including its header byte.
    static constexpr int kMaxFrameBytes = 32;

    // Frame type: bits 6 to 3 of the header byte.
    static constexpr int typeOf(std::uint8_t header) { return (header >> 3) & 0x0F; }

    // Size in bytes including the header byte, or 0 for the types 8 to 15, which carry no speech
    // frame of a known size.
    static constexpr int sizeOf(std::uint8_t header) {
        constexpr std::array<int, 8> sizes{13, 14, 16, 18, 20, 21, 27, 32};
        const int type = typeOf(header);
        return type < static_cast<int>(sizes.size()) ? sizes[static_cast<std::size_t>(type)] : 0;
    }
};

}  // namespace oa

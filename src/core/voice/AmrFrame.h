// Layout of the single-channel AMR-NB file: the magic, the frame header byte and the frame size
// of each frame type. Every frame begins with its own header byte.
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

    // Size in the file, header byte included, of every frame type that has one: the speech
    // frames, the comfort noise frames (type 8 of this codec, 9 to 11 of other codecs) and the
    // bare header of type 15 (no data: a frame the sender did not transmit). 0 for the types 12
    // to 14, which have no size. Encoders that change bit rate or send comfort noise mix these
    // types in one file.
    static constexpr int storedSizeOf(std::uint8_t header) {
        constexpr std::array<int, 16> sizes{13, 14, 16, 18, 20, 21, 27, 32, 6, 7, 6, 6, 0, 0, 0, 1};
        return sizes[static_cast<std::size_t>(typeOf(header))];
    }

    // Whether the byte can begin a frame: a type of known size and the padding bits (7, 1
    // and 0) clear. Other bytes between frames are skipped.
    static constexpr bool isHeader(std::uint8_t byte) {
        return (byte & 0x83) == 0 && storedSizeOf(byte) > 0;
    }

    static constexpr int kNoDataType = 15;
};

}  // namespace oa

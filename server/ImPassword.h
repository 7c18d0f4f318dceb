// The password of the IM login datagram arrives scrambled with the client's key; the scrambler
// is an XOR involution, so scrambling again gives the password back.
#pragma once

#include <string>

namespace oa {

class ImPassword {
public:
    static constexpr const char* kKey = "QXVL7305";
    static std::string unscramble(const std::string& scrambled);
};

}  // namespace oa

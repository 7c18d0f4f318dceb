// Unscrambling the IM login password.
#include "server/ImPassword.h"

namespace oa {

std::string ImPassword::unscramble(const std::string& scrambled) {
    // Even positions are XORed with every key byte, odd positions with every second one.
    const std::string key = kKey;
    unsigned char evenMask = 0, oddMask = 0;
    for (std::size_t k = 0; k < key.size(); ++k) {
        evenMask ^= static_cast<unsigned char>(key[k]);
        if (k % 2 == 0) {
            oddMask ^= static_cast<unsigned char>(key[k]);
        }
    }
    std::string out = scrambled;
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) ^
                                   (i % 2 == 0 ? evenMask : oddMask));
    }
    return out;
}

}  // namespace oa

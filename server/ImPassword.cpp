// Unscrambling the IM login password with the client's own scrambler.
#include "server/ImPassword.h"

#include "core/session/LoginBO.h"

namespace oa {

std::string ImPassword::unscramble(const std::string& scrambled) {
    return LoginBO().EncryptString(scrambled, kKey);
}

}  // namespace oa

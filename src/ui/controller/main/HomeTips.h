// The module counters of the home grid, asked of the server through HomeBO. A separate unit, so
// that screen code needs none of the protocol library's record headers.
#pragma once

#include <map>
#include <string>

namespace oa {

// Counters by module key for `module` ("INIT" or a key a push notice named); empty when the
// request fails or the reply is not understood. Blocks: call it on a background thread.
std::map<std::string, std::string> homeTipInfo(const std::string& module);

}  // namespace oa

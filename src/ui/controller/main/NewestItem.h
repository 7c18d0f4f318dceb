// The newest item of a module's list, as the list's row shows it first (the subject; the text
// of a schedule entry), for a notice about it. A separate unit, so that screen code needs none
// of the protocol library's record headers.
#pragma once

#include <string>

namespace oa {

// Asks the server for the module's first page; empty when the module has no list, the list is
// empty or the request fails. Blocks: call it on a background thread.
std::string newestItemLine(const std::string& module);

}  // namespace oa

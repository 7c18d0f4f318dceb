// The headers of an HTTP reply, in the order they arrived.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace oa {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

}  // namespace oa

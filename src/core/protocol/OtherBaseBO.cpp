// OtherBaseBO: the search every lookup module overrides.
#include "core/protocol/OtherBaseBO.h"

namespace oa {

void OtherBaseBO::search(const Terms& /*terms*/) const {}

std::string OtherBaseBO::term(const Terms& terms, const char* key) {
    const auto found = terms.find(key);
    return found == terms.end() ? std::string() : found->second;
}

}  // namespace oa

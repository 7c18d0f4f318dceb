// HomeTips: one HomeBO per fetch.
#include "ui/controller/main/HomeTips.h"

#include "core/protocol/HomeBO.h"

namespace oa {

std::map<std::string, std::string> homeTipInfo(const std::string& module) {
    return HomeBO().getHomeTipInfo(module);
}

}  // namespace oa

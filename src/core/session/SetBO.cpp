// SetBO: each call goes through a PlistManager of its own.
#include "core/session/SetBO.h"

namespace oa {

std::optional<SetDictionary> SetBO::readSet() const {
    return PlistManager().getSetInfo();
}

void SetBO::saveSet(const SetDictionary& settings) const {
    // The environments are not all the file holds (the window's zoom is there too).
    PlistManager().updateSetInfo(settings);
}

}  // namespace oa

// The settings screen's access to "SetPlist.plist".
#pragma once

#include <optional>

#include "core/session/PlistManager.h"

namespace oa {

class SetBO {
public:
    // The stored settings; none when there is no settings file.
    std::optional<SetDictionary> readSet() const;
    // Stores `settings`, keeping the file's other keys (the switches of the "more" page live
    // there too). The screen does not report a failed write.
    void saveSet(const SetDictionary& settings) const;
};

}  // namespace oa

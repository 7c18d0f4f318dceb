// BottomDelegate: the receiver of tab changes of the tab bar.
#pragma once

#include <string>

namespace oa {

class BottomDelegate {
public:
    virtual ~BottomDelegate() = default;
    // The tab `key` ("home", "message", "remind" or "affairs") was selected.
    virtual void changeView(const std::string& key) = 0;
};

}  // namespace oa

// HomeService: how the home grid opens a module.
#pragma once

#include <string>

namespace oa {

class HomeService {
public:
    virtual ~HomeService() = default;
    // Opens the module `key` under the title `title`.
    virtual void ChoiceFunc(const std::string& key, const std::string& title) = 0;
};

}  // namespace oa

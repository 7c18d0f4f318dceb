// SmsViewdelegate: what the reminder list asks of the main index: a module by key and title,
// or a reminder's own page.
#pragma once

#include <string>

namespace oa {

class SmsViewdelegate {
public:
    virtual ~SmsViewdelegate() = default;
    virtual void ChoiceFunc(const std::string& key, const std::string& title) = 0;
    virtual void showSmsViewWith(const std::string& address) = 0;
};

}  // namespace oa

// MessageService: how the conversation list opens the dialog with one person.
#pragma once

#include <string>

namespace oa {

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void enterMessage(const std::string& personId, const std::string& personName) = 0;
};

}  // namespace oa

// The pending-affair reminders: the list and marking one read.
#pragma once

#include <memory>
#include <vector>

#include "core/protocol/BaseBO.h"
#include "core/protocol/MessageRecords.h"

namespace oa {

class SmsBO : public BaseBO {
public:
    SmsBO() : BaseBO("") {}

    // The reminders in reply order; empty when the request fails or the reply is not a list
    // (HttpRequest::lastFailure() tells which).
    std::vector<std::shared_ptr<SmsVO>> getSmsInfo() const;
    // Tells the server the reminder was seen; whether that worked is left to
    // HttpRequest::lastFailure().
    void readSms(const Text& smsId) const;
};

}  // namespace oa

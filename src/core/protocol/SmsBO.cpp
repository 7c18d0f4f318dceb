// SmsBO: the reminder list request and its reply.
#include "core/protocol/SmsBO.h"

#include "core/protocol/HttpRequest.h"
#include "core/protocol/JsonOperation.h"

namespace oa {

std::vector<std::shared_ptr<SmsVO>> SmsBO::getSmsInfo() const {
    return JsonOperation().getSmsList(HttpRequest().getSms());
}

void SmsBO::readSms(const Text& smsId) const {
    HttpRequest().readSms(smsId);
}

}  // namespace oa

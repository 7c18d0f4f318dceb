// HomeBO: the counter request and its reply.
#include "core/protocol/HomeBO.h"

#include "core/protocol/HttpRequest.h"

namespace oa {

JsonOperation::CounterDic HomeBO::getHomeTipInfo(const Text& modules) const {
    return JsonOperation().getModuleDic(HttpRequest().getPushNotice(modules));
}

}  // namespace oa

// The module counters shown as badges on the home grid.
#pragma once

#include "core/protocol/BaseVO.h"
#include "core/protocol/JsonOperation.h"

namespace oa {

class HomeBO {
public:
    // Asks the server for the counters (`modules` is "INIT" or the key a push notice named) and
    // returns them by module key; empty when the request fails or the reply is not understood
    // (HttpRequest::lastFailure() tells which).
    JsonOperation::CounterDic getHomeTipInfo(const Text& modules) const;
};

}  // namespace oa

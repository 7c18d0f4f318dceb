// SubmitFailureText: what the write screen says when "保存" or "发送" failed, from why the
// exchange failed.
#pragma once

#include <QString>
#include <optional>

#include "core/protocol/ExchangeFailure.h"

namespace oa {

// "保存失败：<reason>" / "发送失败：<reason>", the reason being the server's own explanation on
// one line (markup and an "ERROR:" label removed), "HTTP <status>" without one, or the
// transport's error. A time-out says instead that the outcome is unknown: the server may have
// stored what it received after the client stopped waiting. Without a failure, the plain
// "保存失败" / "发送失败".
QString submitFailureText(bool saves, const std::optional<ExchangeFailure>& failure);

}  // namespace oa

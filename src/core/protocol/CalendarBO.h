// The module logic of the schedule: lists only; an entry is shown from its list record.
#pragma once

#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"

namespace oa {

class CalendarBO : public BaseBO {
public:
    explicit CalendarBO(std::string func_type = "calendar") : BaseBO(std::move(func_type)) {}
};

}  // namespace oa

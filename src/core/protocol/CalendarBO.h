// The module logic of the schedule: lists, and submitting a new entry; an entry is shown from its
// list record.
#pragma once

#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"
#include "core/protocol/SaveRecords.h"
#include "core/protocol/SubmitVerdict.h"

namespace oa {

class CalendarBO : public BaseBO {
public:
    explicit CalendarBO(std::string func_type = "calendar") : BaseBO(std::move(func_type)) {}

    // Submits a new schedule entry (FunHttpRequest::saveCalendarInfo).
    SubmitVerdict saveCalendar(const CalendarSaveVO& record) const;
};

}  // namespace oa

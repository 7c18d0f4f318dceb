// CalendarBO: submitting a schedule entry.
#include "core/protocol/CalendarBO.h"

#include "core/protocol/FunHttpRequest.h"

namespace oa {

SubmitVerdict CalendarBO::saveCalendar(const CalendarSaveVO& record) const {
    return FunHttpRequest().saveCalendarInfo(record);
}

}  // namespace oa

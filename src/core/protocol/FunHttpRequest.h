// The submissions of the editors: a diary entry, an e-mail, a schedule entry and a group text
// message, each a form POST to the session's server, sent synchronously.
#pragma once

#include "core/protocol/SaveRecords.h"
#include "core/protocol/SubmitVerdict.h"

namespace oa {

class ASIFormDataRequest;

// Stateless: make one per call. Each submission carries the session id as "P", waits at most
// 10 seconds without progress and gives a verdict: success only for a completed exchange with a
// status from 200 to 299 (the reply text is not examined). HttpRequest::lastFailure() then tells
// the same, as for every other request object. Pictures make the form multipart: the text fields
// first, then one part per picture, "uploadedfile_0", "uploadedfile_1", ... in list order, each
// named "uploadedfile<i>.png" whatever the file is called on disk. A picture that is not there
// fails the submission before anything is sent.
class FunHttpRequest {
public:
    static constexpr double kTimeOutSeconds = 10;

    // "/mobile/diary/submit.php": "P", "q_id", "dia_time", "editable", "has_attachment",
    // "attachment_id", "attachment_name", "dia_type_desc", "dia_date", "subject", "content",
    // "dia_type", then the pictures.
    SubmitVerdict saveDiaryInfo(const DiarySaveVO& record) const;
    // "/mobile/email/submit.php": "P", "to_id", "cs_id", "webmail", "subject", "content", then the
    // pictures.
    SubmitVerdict saveEmailInfo(const EmailSaveVO& record) const;
    // "/mobile/calendar/submit.php": "P", "q_id" (always empty: the entry is new), "cal_time",
    // "end_time", "cal_level", "cal_type", "content".
    SubmitVerdict saveCalendarInfo(const CalendarSaveVO& record) const;
    // "/mobile/message/data.php": "TO_UID", "ATYPE" = "mutiSend", "CONTENT", "P" last.
    SubmitVerdict sendMessageInfo(const AllSendVO& record) const;

private:
    // Sends the request and records its outcome as the thread's HttpRequest::lastFailure().
    static SubmitVerdict submit(ASIFormDataRequest& request);
};

}  // namespace oa

// FunHttpRequest: the four submission forms and their verdicts.
#include "core/protocol/FunHttpRequest.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Log.h"
#include "core/protocol/ExchangeFailure.h"
#include "core/protocol/HttpRequest.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIFormDataRequest.h"
#include "core/transport/MimeTypes.h"

namespace oa {
namespace {

// A form request to the page of the session's server. Without a server address the URL has no
// origin and the transport fails the request without sending it.
std::shared_ptr<ASIFormDataRequest> form(std::string_view page) {
    auto request = ASIFormDataRequest::requestWithURL(
        GlobalVar::getInstance_global().oa().value_or("") + std::string(page));
    request->setTimeOutSeconds(FunHttpRequest::kTimeOutSeconds);
    return request;
}

Text sessionId() {
    return GlobalVar::getInstance_global().session_id();
}

// The pictures as file parts after the text fields. The server stores each part under the name
// it is given, so the name follows the part's position, not the file on disk; its extension and
// type follow the bytes (a JPEG stays a JPEG). Bytes of no known picture format go as PNG.
void addPictures(ASIFormDataRequest& request, const std::vector<std::string>& paths) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string index = std::to_string(i);
        const PictureType type =
            MimeTypes::pictureOfFile(paths[i]).value_or(PictureType{"png", "image/png"});
        request.addFile("uploadedfile_" + index, paths[i],
                        "uploadedfile" + index + "." + type.extension, type.contentType);
    }
}

}  // namespace

SubmitVerdict FunHttpRequest::submit(ASIFormDataRequest& request) {
    request.startSynchronous();
    const std::optional<ExchangeFailure> failure = ExchangeFailure::of(request);
    HttpRequest::setLastFailure(failure);
    if (failure) {
        log("submission failed: " + failure->reason());
        return SubmitVerdict::failure(failure->reason());
    }
    return SubmitVerdict::success();
}

SubmitVerdict FunHttpRequest::saveDiaryInfo(const DiarySaveVO& record) const {
    auto request = form("/mobile/diary/submit.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("q_id", record.q_id);
    request->setPostValue("dia_time", record.dia_time);
    request->setPostValue("editable", record.editable);
    request->setPostValue("has_attachment", record.has_attachment);
    request->setPostValue("attachment_id", record.attachment_id);
    request->setPostValue("attachment_name", record.attachment_name);
    request->setPostValue("dia_type_desc", record.dia_type_desc);
    request->setPostValue("dia_date", record.diaryDate);
    request->setPostValue("subject", record.diaryTitle);
    request->setPostValue("content", record.diaryContent);
    request->setPostValue("dia_type", record.diaryType.empty() ? "1" : record.diaryType);
    addPictures(*request, record.diaryAttachment);
    return submit(*request);
}

SubmitVerdict FunHttpRequest::saveEmailInfo(const EmailSaveVO& record) const {
    auto request = form("/mobile/email/submit.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("to_id", record.to_id);
    request->setPostValue("cs_id", record.cs_id);
    request->setPostValue("webmail", record.webmail);
    request->setPostValue("subject", record.subject);
    request->setPostValue("content", record.content);
    addPictures(*request, record.imageAry);
    return submit(*request);
}

SubmitVerdict FunHttpRequest::saveCalendarInfo(const CalendarSaveVO& record) const {
    auto request = form("/mobile/calendar/submit.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("q_id", "");
    request->setPostValue("cal_time", record.cal_start);
    request->setPostValue("end_time", record.cal_end);
    request->setPostValue("cal_level", record.cal_leve);
    request->setPostValue("cal_type", record.cal_type);
    request->setPostValue("content", record.cal_content);
    return submit(*request);
}

SubmitVerdict FunHttpRequest::sendMessageInfo(const AllSendVO& record) const {
    auto request = form("/mobile/message/data.php");
    request->setPostValue("TO_UID", record.to_uid);
    request->setPostValue("ATYPE", "mutiSend");
    request->setPostValue("CONTENT", record.content);
    request->setPostValue("P", sessionId());
    return submit(*request);
}

}  // namespace oa

// What the editors hand over for submission: a diary entry, an e-mail, a schedule entry and a
// group text message. Plain records of texts, filled by the editor and read by FunHttpRequest.
#pragma once

#include <string>
#include <vector>

namespace oa {

// A new work-diary entry. The fields after diaryAttachment are the server's record fields; a new
// entry leaves them empty and they are sent empty.
struct DiarySaveVO {
    std::string diaryTitle;    // "subject"
    std::string diaryDate;     // "dia_date", yyyy-MM-dd
    std::string diaryType;     // "dia_type": "1" work diary, "2" personal; empty counts as "1"
    std::string diaryContent;  // "content"
    // Picture files, in order, sent as "uploadedfile_0", "uploadedfile_1", ...
    std::vector<std::string> diaryAttachment;
    std::string q_id;
    std::string dia_time;
    std::string editable;
    std::string has_attachment;
    std::string attachment_id;
    std::string attachment_name;
    std::string dia_type_desc;

    bool operator==(const DiarySaveVO&) const = default;
};

// A new internal e-mail.
struct EmailSaveVO {
    std::string to_id;    // user_id of each recipient, joined by ","
    std::string cs_id;    // user_id of each copy recipient, joined by ","; may be empty
    std::string webmail;  // one external address, as typed
    std::string subject;
    std::string content;
    // Picture files, in order, sent as "uploadedfile_0", "uploadedfile_1", ...
    std::vector<std::string> imageAry;

    bool operator==(const EmailSaveVO&) const = default;
};

// A new schedule entry. The times are "HH:mm" without a date.
struct CalendarSaveVO {
    std::string cal_start;    // "cal_time"
    std::string cal_end;      // "end_time"
    std::string cal_leve;     // "cal_level": "0" (unspecified) to "4"
    std::string cal_type;     // "cal_type": "1" work, "2" personal
    std::string cal_content;  // "content"

    bool operator==(const CalendarSaveVO&) const = default;
};

// One text message to several people.
struct AllSendVO {
    std::string to_uid;   // user_uid of each recipient, joined by ","
    std::string content;  // may be empty

    bool operator==(const AllSendVO&) const = default;
};

}  // namespace oa

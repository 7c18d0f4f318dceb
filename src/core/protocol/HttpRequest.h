// The server requests of the module lists, details, attachments, counters, reminders, instant
// messages and directory lookups: each a form POST to the server address of the session, sent
// synchronously.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/protocol/BaseVO.h"
#include "core/protocol/ExchangeFailure.h"

namespace oa {

class ASIFormDataRequest;
class BaseBO;

// Made per call (or per screen) and not shared between threads. Every request posts to GlobalVar
// oa followed by its page, with a 10-second time-out, and carries the session id as "P" unless
// noted. A reply is the reply text, or absent when the exchange failed: no reply came, or the
// server answered with a status outside 200-299 (its error page is not handed on as a reply).
class HttpRequest {
public:
    using Reply = std::optional<std::string>;
    static constexpr double kTimeOutSeconds = 10;

    // Whether the last exchange that the calling thread made through a request object failed,
    // and why; nothing after a reply with a status from 200 to 299. Every request object
    // (HttpRequest, BaseBO and its subclasses, MessageBO, SmsBO, HomeBO) sends synchronously on
    // the caller's thread, so a loader asks right after its call: a failed load and an empty page
    // both give an empty list, and only this tells them apart. An operation made of several
    // exchanges (a detail and its attachment links) reports its first failure. An operation that
    // sends nothing (a module without a list page) leaves the value as it was.
    static std::optional<ExchangeFailure> lastFailure();

    // Flags the caller sets before a request.
    bool isPublic = false;           // list requests: the public file cabinet
    bool isDiary = false;            // list requests: the shared diaries
    bool tag_Public_floder = false;  // detail and folder requests: the public file cabinet
    int tag = 0;                     // not sent

    // The three list pages. The file-cabinet and diary pages carry the list flag "FTYPE".
    Reply getList(const std::string& page) const;
    // "LATEST_ID" is the integer value of `latestId`, 0 when it is absent or not a number.
    Reply getNewList(const Text& latestId, const std::string& page) const;
    // "CURRITERMS" is the number of items the list holds.
    Reply getMoreList(long long count, const std::string& page) const;

    // One item of a module (or one folder of a file cabinet): "P_ID" carries the id when
    // tag_Public_floder is set, "Q_ID" otherwise.
    Reply getDetail(const Text& itemId, const std::string& page, const Text& operation) const;
    // The link of one attachment, always from "/mobile/attach.php"; `modulePage` is not sent.
    Reply getAttachInfo(const std::string& modulePage, const Text& attachmentId,
                        const Text& attachmentName) const;

    // The module counters: "UID" and "MODULES", without the session id.
    Reply getPushNotice(const Text& modules) const;

    // The person search of the staff directory: "KWORD" = `keyword` (the server matches it
    // anywhere in a name).
    Reply searchPerson(const Text& keyword) const;
    // The departments of the staff directory ("A" = "get_Dept"), and the people of the
    // departments whose ids `deptIds` lists, joined by "," ("A" = "get_USER", "Q_ID").
    Reply getDeptList() const;
    Reply getDeptUsers(const std::string& deptIds) const;
    // One person's card: "Q_ID" = the person's user_uid, "ATYPE" = "getUserInfo".
    Reply getUserDetail(const Text& userUid) const;
    // The address-book search by contact name and organisation. The organisation's field is
    // "DEPT_NAM", eight letters, as the server reads it.
    Reply searchAddress(const Text& name, const Text& dept) const;
    // One address-book card: "Q_ID" = the contact's q_id, "ATYPE" = "getDetail".
    Reply getAddressDetail(const Text& contactId) const;
    // The area-code and post-code search by place name, area code and post code.
    Reply searchTelNo(const Text& area, const Text& telNo, const Text& postNo) const;
    // The forecast of a city: "CITY_NAME" only, no "ATYPE".
    Reply getWeather(const Text& cityName) const;

    // The pending-affair reminders, and marking one of them read (its reply is ignored).
    Reply getSms() const;
    void readSms(const Text& smsId) const;

    // Instant messages: the conversation list, the dialog with one partner, sending a text.
    Reply getMessage() const;
    Reply getMessageDetail(const Text& partnerId) const;
    Reply sendMsg(const Text& recipientUid, const Text& content) const;
    // A voice message: multipart, "DURATION" in milliseconds (the integer value of `seconds`
    // times 1000), the AMR file at `path` as the part "ATTACHMENT". No file, no request.
    Reply sendVoiceMsg(const Text& recipientUid, const Text& seconds, const Text& path) const;
    // The newest message sent to the signed-in user; `unused` is not sent: "Q_ID" carries the
    // session's own uid.
    Reply getMeg(const Text& unused) const;
    // The bytes of a voice file (an AMR file).
    Reply getVoiceMsgwithAttachment_id(const Text& attachmentId, const Text& attachmentName) const;

    // The form of getMessageDetail, unsent, for the dialog screen that sends it asynchronously;
    // its finish callback tells a failed exchange with ExchangeFailure::of.
    static std::shared_ptr<ASIFormDataRequest> messageDetailRequest(const Text& partnerId);

private:
    friend class BaseBO;
    friend class FunHttpRequest;
    // Makes `failure` the calling thread's lastFailure().
    static void setLastFailure(std::optional<ExchangeFailure> failure);

    Reply listRequest(std::string_view action, const std::optional<std::string>& fieldName,
                      const std::string& fieldValue, const std::string& page) const;
};

}  // namespace oa

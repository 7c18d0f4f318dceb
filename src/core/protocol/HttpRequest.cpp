// The server requests: pages, field orders and the list flags.
#include "core/protocol/HttpRequest.h"

#include <limits>
#include <utility>

#include "core/platform/Log.h"
#include "core/protocol/ReplyText.h"
#include "core/session/GlobalVar.h"
#include "core/transport/ASIFormDataRequest.h"

namespace oa {
namespace {

// The outcome of the last exchange of each thread; see HttpRequest::lastFailure().
thread_local std::optional<ExchangeFailure> tLastFailure;

constexpr char kFilePage[] = "/mobile/file_folder/data.php";
constexpr char kDiaryPage[] = "/mobile/diary/data.php";
constexpr char kSmsPage[] = "/mobile/sms/data.php";
constexpr char kMessagePage[] = "/mobile/message/data.php";
constexpr char kAddressPage[] = "/mobile/address/data.php";

// A form request to the page of the session's server. Without a server address the URL has no
// origin and the transport fails the request without sending it.
std::shared_ptr<ASIFormDataRequest> form(std::string_view page, bool setTimeOut = true) {
    auto request = ASIFormDataRequest::requestWithURL(
        GlobalVar::getInstance_global().oa().value_or("") + std::string(page));
    if (setTimeOut) {
        request->setTimeOutSeconds(HttpRequest::kTimeOutSeconds);
    }
    return request;
}

Text sessionId() {
    return GlobalVar::getInstance_global().session_id();
}

// Sends the request; whether it failed becomes the thread's last failure.
bool exchange(ASIFormDataRequest& request) {
    request.startSynchronous();
    tLastFailure = ExchangeFailure::of(request);
    if (tLastFailure) {
        log("request failed: " + tLastFailure->reason());
        return false;
    }
    return true;
}

HttpRequest::Reply replyText(ASIFormDataRequest& request) {
    if (!exchange(request)) {
        return std::nullopt;
    }
    return request.responseString();
}

long long millisecondsOf(const Text& seconds) {
    const long long value = integerValue(seconds.value_or(""));
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 1000;
    if (value > kLimit) {
        return kLimit * 1000;
    }
    if (value < -kLimit) {
        return -kLimit * 1000;
    }
    return value * 1000;
}

}  // namespace

HttpRequest::Reply HttpRequest::listRequest(std::string_view action,
                                            const std::optional<std::string>& fieldName,
                                            const std::string& fieldValue,
                                            const std::string& page) const {
    auto request = form(page);
    request->setPostValue("ATYPE", "refreshList");
    request->setPostValue("A", std::string(action));
    if (fieldName) {
        request->setPostValue(fieldName, fieldValue);
    }
    request->setPostValue("P", sessionId());
    // Both cabinets share one page, and so do both diary kinds; the flag tells them apart.
    if (page == kFilePage) {
        request->setPostValue("FTYPE", isPublic ? "public" : "personal");
    } else if (page == kDiaryPage) {
        request->setPostValue("FTYPE", isDiary ? "share" : "diary");
    }
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getList(const std::string& page) const {
    return listRequest("loadList", std::nullopt, {}, page);
}

HttpRequest::Reply HttpRequest::getNewList(const Text& latestId, const std::string& page) const {
    return listRequest("getNew", "LATEST_ID", std::to_string(integerValue(latestId.value_or(""))),
                       page);
}

HttpRequest::Reply HttpRequest::getMoreList(long long count, const std::string& page) const {
    return listRequest("getMore", "CURRITERMS", std::to_string(count), page);
}

HttpRequest::Reply HttpRequest::getDetail(const Text& itemId, const std::string& page,
                                          const Text& operation) const {
    auto request = form(page);
    request->setPostValue("ATYPE", operation);
    request->setPostValue("P", sessionId());
    request->setPostValue(tag_Public_floder ? "P_ID" : "Q_ID", itemId);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getAttachInfo(const std::string& /*modulePage*/,
                                              const Text& attachmentId,
                                              const Text& attachmentName) const {
    auto request = form("/mobile/attach.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("ATTACHMENT_ID", attachmentId);
    request->setPostValue("ATTACHMENT_NAME", attachmentName);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getPushNotice(const Text& modules) const {
    auto request = form("/mobile/services_count.php");
    request->setPostValue("UID", GlobalVar::getInstance_global().uid());
    request->setPostValue("MODULES", modules);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::searchPerson(const Text& keyword) const {
    auto request = form("/mobile/inc/get_contactlist.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("KWORD", keyword);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getDeptList() const {
    auto request = form("/mobile/inc/get_contactlist.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("A", "get_Dept");
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getDeptUsers(const std::string& deptIds) const {
    auto request = form("/mobile/inc/get_contactlist.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("A", "get_USER");
    request->setPostValue("Q_ID", deptIds);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getUserDetail(const Text& userUid) const {
    auto request = form("/mobile/user_info/data.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("Q_ID", userUid);
    request->setPostValue("ATYPE", "getUserInfo");
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::searchAddress(const Text& name, const Text& dept) const {
    auto request = form(kAddressPage);
    request->setPostValue("P", sessionId());
    request->setPostValue("ATYPE", "getPsnList");
    request->setPostValue("PSN_NAME", name);
    request->setPostValue("DEPT_NAM", dept);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getAddressDetail(const Text& contactId) const {
    auto request = form(kAddressPage);
    request->setPostValue("P", sessionId());
    request->setPostValue("Q_ID", contactId);
    request->setPostValue("ATYPE", "getDetail");
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::searchTelNo(const Text& area, const Text& telNo,
                                            const Text& postNo) const {
    auto request = form("/mobile/tel_no/data.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("ATYPE", "getTelNoList");
    request->setPostValue("AREA", area);
    request->setPostValue("TEL_NO", telNo);
    request->setPostValue("POST_NO", postNo);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getWeather(const Text& cityName) const {
    auto request = form("/mobile/weather/data.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("CITY_NAME", cityName);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getSms() const {
    auto request = form(kSmsPage);
    request->setPostValue("ATYPE", "refreshList");
    request->setPostValue("A", "loadList");
    request->setPostValue("P", sessionId());
    return replyText(*request);
}

void HttpRequest::readSms(const Text& smsId) const {
    // Left at the transport's default time-out, which is also 10 seconds.
    auto request = form(kSmsPage, /*setTimeOut=*/false);
    request->setPostValue("ATYPE", "readsms");
    request->setPostValue("SMS_ID", smsId);
    request->setPostValue("P", sessionId());
    replyText(*request);
}

HttpRequest::Reply HttpRequest::getMessage() const {
    auto request = form(kMessagePage);
    request->setPostValue("ATYPE", "refreshList");
    request->setPostValue("A", "loadList");
    request->setPostValue("P", sessionId());
    return replyText(*request);
}

std::shared_ptr<ASIFormDataRequest> HttpRequest::messageDetailRequest(const Text& partnerId) {
    auto request = form(kMessagePage);
    request->setPostValue("Q_ID", partnerId);
    request->setPostValue("ATYPE", "getDialogList");
    request->setPostValue("P", sessionId());
    return request;
}

HttpRequest::Reply HttpRequest::getMessageDetail(const Text& partnerId) const {
    return replyText(*messageDetailRequest(partnerId));
}

HttpRequest::Reply HttpRequest::sendMsg(const Text& recipientUid, const Text& content) const {
    auto request = form(kMessagePage);
    request->setPostValue("Q_UID", recipientUid);
    request->setPostValue("CONTENT", content);
    request->setPostValue("ATYPE", "sendSignleMsg");
    request->setPostValue("P", sessionId());
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::sendVoiceMsg(const Text& recipientUid, const Text& seconds,
                                             const Text& path) const {
    auto request = form("/corvane/im/upload.php");
    request->setPostValue("UPLOAD_MODE", "1");
    request->setPostValue("P_VER", "5");
    request->setPostValue("DEST_UID", recipientUid);
    request->setPostValue("DURATION", std::to_string(millisecondsOf(seconds)));
    request->setPostValue("P", sessionId());
    // A missing file fails the request before anything is sent.
    request->setFile("ATTACHMENT", path);
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getMeg(const Text& /*unused*/) const {
    auto request = form(kMessagePage);
    request->setPostValue("Q_ID", GlobalVar::getInstance_global().uid());
    request->setPostValue("ATYPE", "getSingleNewMsg");
    request->setPostValue("P", sessionId());
    return replyText(*request);
}

HttpRequest::Reply HttpRequest::getVoiceMsgwithAttachment_id(const Text& attachmentId,
                                                             const Text& attachmentName) const {
    auto request = form("/corvane/im/down.php");
    request->setPostValue("P", sessionId());
    request->setPostValue("ATTACHMENT_ID", attachmentId);
    request->setPostValue("ATTACHMENT_NAME", attachmentName);
    if (!exchange(*request)) {
        return std::nullopt;
    }
    return request->responseData();
}

std::optional<ExchangeFailure> HttpRequest::lastFailure() {
    return tLastFailure;
}

void HttpRequest::setLastFailure(std::optional<ExchangeFailure> failure) {
    tLastFailure = std::move(failure);
}

}  // namespace oa

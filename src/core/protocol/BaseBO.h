// The module-logic object a list or detail screen holds for one module key: it picks the pages
// and operations of its module, sends the requests and hands the replies to the parsers.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/protocol/BaseVO.h"
#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/HttpRequest.h"

namespace oa {

// A screen may run a load on a background thread while starting another, so the few values an
// object keeps are guarded. Requests block the calling thread; none holds the guard. A failed
// exchange gives the same result as an empty page (an empty list, a detail with every field
// absent); HttpRequest::lastFailure(), asked on the same thread right after the call, tells them
// apart.
class BaseBO {
public:
    using Reply = HttpRequest::Reply;

    explicit BaseBO(std::string func_type);
    virtual ~BaseBO();
    BaseBO(const BaseBO&) = delete;
    BaseBO& operator=(const BaseBO&) = delete;

    // The module key, fixed for the object's life.
    const std::string& func_type() const { return func_type_; }
    // The newest item id the list parser has seen for this module; the "LATEST_ID" of the next
    // request for newer items.
    Text firstID() const;
    void setFirstID(Text value);
    // The diary list shows the shared diaries.
    bool isDiary() const;
    void setIsDiary(bool value);
    // Set once getUrlStr has run for "public_folder".
    bool isPublicMarked() const;

    // The list page of the module; absent for a module without one.
    std::optional<std::string> getUrlStr();
    // The "ATYPE" of the module's detail request; absent for a module without details.
    std::optional<std::string> getDetailType() const;

    // The first page, newest record last (the list screen inserts each at the top in turn).
    // Absent for a module without a list page or parser; nothing is sent then.
    std::optional<RecordList> getList();
    // Items newer than `latestId`, newest last.
    std::optional<RecordList> getNewList(const Text& latestId);
    // Items older than the `count` the list holds, in reply order (appended at the bottom).
    std::optional<RecordList> getMoreList(long long count);
    // The records of a list reply of this module; afterwards firstID is the parser's.
    std::optional<RecordList> splitJson(const Reply& reply);

    // The detail record of one item; null for a module without details (nothing is sent).
    virtual std::shared_ptr<BaseVO> getDetailInfo(const Text& itemId);
    // The forecast days of a city, the first being today; the weather module's logic answers
    // this, every other module has none (and sends nothing).
    virtual std::vector<std::shared_ptr<WeatherVO>> getWetherInfo(const Text& cityName);

protected:
    // Appends, for each attachment whose id and name are both present and not empty, the reply
    // of its attachment request to `content`, one request after another.
    void appendAttachmentLinks(Text& content, const TextList& ids, const TextList& names);

    // The detail with its attachment links when it is a `Detail`; anything else (the empty
    // record of an empty reply) unchanged.
    template <class Detail>
    std::shared_ptr<BaseVO> withAttachmentLinks(std::shared_ptr<BaseVO> detail) {
        if (auto record = std::dynamic_pointer_cast<Detail>(detail)) {
            appendAttachmentLinks(record->content, record->attachment_id_arr,
                                  record->attachment_name_arr);
        }
        return detail;
    }

private:
    // A request with the list flags of this object, and the page, when the module has a list.
    std::optional<std::string> prepareList(HttpRequest& request);

    const std::string func_type_;
    mutable std::mutex mutex_;
    Text firstID_;             // Guarded by mutex_.
    bool isDiary_ = false;     // Guarded by mutex_.
    bool publicMark_ = false;  // Guarded by mutex_.
};

}  // namespace oa

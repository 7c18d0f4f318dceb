// DetailController: the screen of one item, opened from a module list (or a lookup) with the
// module key and the tapped record. It fetches the item's detail record in the background, then
// builds the module's detail view; an internal e-mail can be answered with "回复".
#pragma once

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/BaseVO.h"
#include "core/protocol/DirectoryRecords.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/kit/ViewController.h"

namespace oa {

class DetailController : public ViewController {
    Q_OBJECT
public:
    using People = std::vector<std::shared_ptr<UserVO>>;

    // What the background fetch brought back.
    struct Fetched {
        std::shared_ptr<BaseVO> detail;                // null for a module without a detail request
        std::vector<std::shared_ptr<WeatherVO>> days;  // the forecast of "weather"
        bool failed = false;  // the exchange failed (no reply, or an error status)
    };

    explicit DetailController(QObject* parent = nullptr);

    const std::string& func_type() const { return func_type_; }
    void setFunc_type(const std::string& key) { func_type_ = key; }
    const std::shared_ptr<BaseVO>& list_vo() const { return list_vo_; }
    void setList_vo(std::shared_ptr<BaseVO> record) { list_vo_ = std::move(record); }
    const std::vector<TelVO>& tel_array() const { return tel_array_; }
    void setTel_array(std::vector<TelVO> rows) { tel_array_ = std::move(rows); }
    const Text& city_name() const { return city_name_; }
    void setCity_name(Text name) { city_name_ = std::move(name); }

    // The detail request of `key` (blocking; any thread): none for "calendar" and "tel_no", the
    // forecast of `cityName` for "weather", the item `itemId` otherwise (for "user" the person's
    // user_uid).
    static Fetched fetchDetail(const std::string& key, const Text& itemId, const Text& cityName);
    // Whether the screen offers "回复": an e-mail whose detail's is_webmail reads as the integer
    // 0 (also when there is no detail).
    static bool offersReply(const std::string& key, const std::shared_ptr<BaseVO>& detail);
    // The recipients of a reply among the people a name search found: those named exactly
    // `fromName`, and of them only the one with `fromUserId` when that is given.
    static People replyRecipients(const People& found, const Text& fromName,
                                  const Text& fromUserId);

    // "回复": searches the sender in the background ("正在加载...") and pushes the write screen
    // with the recipients found. Ignored while a search runs; a sender without a name searches
    // nothing and the write screen opens without recipients.
    void clickToWrite();
    // Pushes the attachment viewer for an attachment link of the page.
    void turnReadAttachment(int category, const std::string& address);

    // The item id the detail request asks for: the person's user_uid for "user", the list
    // record's q_id otherwise.
    static Text detailItemId(const std::string& key, const std::shared_ptr<BaseVO>& record);

    // The detail view once built; null before.
    DetailView* detailView() const { return detailView_; }
    const std::shared_ptr<BaseVO>& detail() const { return detail_; }
    bool isSearching() const { return searching_; }

signals:
    // The detail view has been built.
    void detailShown();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    // Builds the module's view for the fetched detail. Main thread only.
    void createTheView(const Fetched& fetched);
    void pushWrite(People recipients);

    std::string func_type_;
    std::shared_ptr<BaseVO> list_vo_;
    std::vector<TelVO> tel_array_;
    Text city_name_;
    std::shared_ptr<BaseVO> detail_;  // Main thread only.
    QPointer<DetailView> detailView_;
    bool searching_ = false;  // Main thread only.
};

}  // namespace oa

// OtherFuncController: the host screen of the directory lookups (address book "address", area
// and post codes "tel_no", staff search "user", weather "weather"), opened with a module key and
// a title. It shows the module's search view, runs the view's searches off the main thread one
// at a time, and opens a chosen result in the detail screen.
#pragma once

#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/LatestTaskRunner.h"
#include "core/protocol/BaseVO.h"
#include "core/protocol/DirectoryRecords.h"
#include "core/protocol/OtherBaseBO.h"
#include "ui/controller/lookup/OtherBaseView.h"
#include "ui/kit/ViewController.h"

namespace oa {

class DetailController;

class OtherFuncController : public ViewController {
    Q_OBJECT
public:
    using Terms = OtherBaseBO::Terms;
    // Module key → class name.
    using ClassTable = std::map<std::string, std::string, std::less<>>;

    explicit OtherFuncController(QObject* parent = nullptr);
    ~OtherFuncController() override;

    const std::string& func_type() const { return func_type_; }
    void setFunc_type(const std::string& key) { func_type_ = key; }
    const std::string& func_title() const { return func_title_; }
    void setFunc_title(const std::string& title) { func_title_ = title; }

    // The request class ("UserBO", ...) and the search view ("UserView", ...) of each key.
    const ClassTable& boDic() const { return boDic_; }
    const ClassTable& viewDic() const { return viewDic_; }

    // The search view once the screen is loaded; null for a key without one.
    OtherBaseView* searchView() const { return searchView_; }

    // Runs the module's search for `terms` off the main thread. One search runs at a time; terms
    // given while one runs wait, newer terms replacing waiting ones, so the newest terms' result
    // is the one posted last. The result comes back by the module's notification.
    void searchInfo(const Terms& terms);
    // Whether a search runs or waits.
    bool isSearching() const { return runner_.isBusy(); }
    // The search itself, blocking, on any thread: creates the request class `boClass` for `key`
    // and calls its search.
    static void backSearch(const std::string& key, const std::string& boClass, const Terms& terms);

    // Opens the detail screen for a chosen person or contact (`key` "user" or "address").
    void lookDetail(std::shared_ptr<BaseVO> record, const std::string& key);
    // Opens the detail screen with the places of an area-code search.
    void lookDetail(std::vector<TelVO> places, const std::string& key);
    // Opens the forecast of `cityName` (`key` "weather").
    void lookDetail(const std::string& key, const Text& cityName);

signals:
    // A detail screen was pushed over this screen.
    void detailPushed(DetailController* detail);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    // Pushes `detail` from the main loop, later: only while this screen is on top, so a result
    // arriving after the user left (or after a detail was already opened) opens nothing.
    void pushDetail(DetailController* detail);

    std::string func_type_;
    std::string func_title_;
    ClassTable boDic_;
    ClassTable viewDic_;
    QPointer<OtherBaseView> searchView_;
    LatestTaskRunner runner_;  // Main thread only.
};

}  // namespace oa

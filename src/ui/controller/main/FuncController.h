// FuncController: the list screen of one module (e-mail, notices, news, schedule, diaries, file
// cabinets), opened with a module key and a title. It pages through the module's items with the
// pull-to-refresh table, opens an item's detail, walks the cabinets' folders, switches the diary
// between the user's own and the shared diaries and offers the module's write button. What the
// loads ask for and how their pages merge is FuncListLogic's; this class runs the loads in the
// background and draws the outcome. Main thread only: a load's thread gets a copy of what it
// needs and hands its page back through the main loop, checked against a guard of the screen.
#pragma once

#include <QLabel>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "core/protocol/BaseVO.h"
#include "ui/controller/main/FuncListLogic.h"
#include "ui/kit/PullingRefreshTableView.h"
#include "ui/kit/SegmentedControl.h"
#include "ui/kit/ViewController.h"

namespace oa {

class FuncController : public ViewController,
                       public TableViewDataSource,
                       public TableViewDelegate,
                       public PullingRefreshTableViewDelegate {
    Q_OBJECT
public:
    static constexpr qreal kRowHeight = 62.2;
    // How long a pull waits before its load starts.
    static constexpr std::chrono::milliseconds kLoadDelay{1000};

    // Makes the screen a tapped item opens: the module key and the item's record.
    using DetailFactory =
        std::function<ViewController*(const std::string&, const std::shared_ptr<BaseVO>&)>;

    explicit FuncController(QObject* parent = nullptr);
    ~FuncController() override;

    const std::string& func_type() const { return func_type_; }
    // Before the screen is shown.
    void setFunc_type(const std::string& key);
    const std::string& func_title() const { return func_title_; }
    void setFunc_title(const std::string& title);

    // The delay between a pull and its load (kLoadDelay unless changed).
    void setLoadDelay(std::chrono::milliseconds delay) { loadDelay_ = delay; }

    // The detail screens of every list; detailController() unless replaced (tests).
    static void setDetailFactory(DetailFactory factory);
    static ViewController* detailController(const std::string& key,
                                            const std::shared_ptr<BaseVO>& record);

    // Null until the view is loaded.
    PullingRefreshTableView* tableView() const { return tableView_; }
    // The diary's kind control (null for other modules) and its overlay.
    SegmentedControl* seg1() const { return seg1_; }
    QWidget* aview() const { return aview_; }
    QLabel* aviewLabel() const { return aviewLabel_; }
    const FuncListLogic& logic() const { return logic_; }
    // Loads started and not yet merged (pulls, kind changes and folder steps).
    int loadsRunning() const { return loadsRunning_; }

    // A load's result, on the main thread: merged into the rows, drawn, and the table's header or
    // footer closed with the message the merge calls for.
    void finishData(const ListPage& page);

    // The diary kind control changed: 0 the user's own diaries, 1 the shared ones.
    void changeBrush(int index);
    // The write button: the write screen of the module; the list reloads once it has saved.
    void writeView();
    // Reloads the list as a pull down does.
    void reloadList();

    // TableViewDataSource
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    // TableViewDelegate
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    // PullingRefreshTableViewDelegate
    void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView) override;
    void pullingTableViewDidStartLoading(PullingRefreshTableView* tableView) override;
    std::optional<QDateTime> pullingTableViewRefreshingFinishedDate(
        PullingRefreshTableView* tableView) override;

signals:
    // A load's result reached the screen (merged, or dropped as superseded).
    void loadFinished();

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void pull(LoadDirection direction);
    // Runs `load` on a thread of its own; the result comes back to finishData on the main
    // thread while the screen exists.
    void runLoad(const ListLoad& load);
    void showOverlay(const ListUpdate& update);
    void openDetail(const std::shared_ptr<BaseVO>& record);
    // Takes the segments out of the kind control, so that the next screen's bar shows none.
    void hideKindControl();
    void clickToBack();
    // Says kEmptyFolder under the back row while an empty folder is shown.
    void showEmptyFolder();

    std::string func_type_;
    std::string func_title_;
    FuncListLogic logic_;
    std::chrono::milliseconds loadDelay_ = kLoadDelay;
    int loadsRunning_ = 0;
    QPointer<PullingRefreshTableView> tableView_;
    QPointer<SegmentedControl> seg1_;
    QPointer<QWidget> aview_;
    QPointer<QLabel> aviewLabel_;
    QPointer<QLabel> emptyFolder_;
};

}  // namespace oa

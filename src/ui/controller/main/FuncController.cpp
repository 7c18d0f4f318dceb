// FuncController: the screen around the list logic: table, loads across threads, kind control,
// overlay, write button and the detail screens.
#include "ui/controller/main/FuncController.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "core/platform/MainLoop.h"
#include "ui/controller/detail/DetailController.h"
#include "ui/controller/main/ModuleRowCell.h"
#include "ui/controller/write/WriteController.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/SegmentedControl.h"

namespace oa {

namespace {

constexpr const char* kLoadingStatus = "正在加载...";

// The screen's body: the "otherbackground.png" pattern behind the table and the overlay, both of
// which fill it.
class ListScreen : public QWidget {
public:
    ListScreen() {
        setAttribute(Qt::WA_OpaquePaintEvent);
        pattern_ = image(QStringLiteral("otherbackground.png"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (pattern_.isNull()) {
            painter.fillRect(rect(), QColor(0xf2, 0xf2, 0xf2));
        } else {
            painter.drawTiledPixmap(rect(), pattern_);
        }
    }
    void resizeEvent(QResizeEvent*) override {
        for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            child->setGeometry(rect());
        }
    }

private:
    QPixmap pattern_;
};

// The diary's overlay: the pattern over the table with one line saying which kind is empty.
class Overlay : public ListScreen {
public:
    explicit Overlay(QWidget* parent) {
        setParent(parent);
        // Only a picture over the table: a pull where it shows reaches the table and refreshes.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        label_ = new QLabel(this);
        label_->setObjectName(QStringLiteral("aviewLabel"));
        label_->setGeometry(120, 100, 100, 60);
        QFont font(QStringLiteral("Helvetica"));
        font.setPixelSize(15);
        label_->setFont(font);
        label_->setAttribute(Qt::WA_TranslucentBackground);
        QPalette palette = label_->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0, qRound(255 * 0.7)));
        label_->setPalette(palette);
    }
    QLabel* label() const { return label_; }

protected:
    void resizeEvent(QResizeEvent*) override {}

private:
    QLabel* label_;
};

FuncController::DetailFactory& detailFactory() {
    static FuncController::DetailFactory factory = &FuncController::detailController;
    return factory;
}

// The write button's title, for the modules that can be written.
QString writeTitle(const std::string& key) {
    if (key == "email") {
        return QStringLiteral("写邮件");
    }
    if (key == "diary") {
        return QStringLiteral("写日志");
    }
    if (key == "calendar") {
        return QStringLiteral("新建");
    }
    return {};
}

}  // namespace

FuncController::FuncController(QObject* parent) : ViewController(parent), logic_(std::string()) {
    setCustomBackButton([this] { clickToBack(); });
}

FuncController::~FuncController() {
    // A folder step still running will not reach this screen: its indicator goes with it.
    if (logic_.isFolderLoading()) {
        ProgressHUD::dismiss();
    }
    if (tableView_) {
        tableView_->setPullingDelegate(nullptr);
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void FuncController::setFunc_type(const std::string& key) {
    func_type_ = key;
    logic_ = FuncListLogic(key);
}

void FuncController::setFunc_title(const std::string& title) {
    func_title_ = title;
    if (func_type_ != "diary") {
        setTitle(QString::fromStdString(title));
    }
}

void FuncController::setDetailFactory(DetailFactory factory) {
    detailFactory() = factory ? std::move(factory) : DetailFactory(&detailController);
}

ViewController* FuncController::detailController(const std::string& key,
                                                 const std::shared_ptr<BaseVO>& record) {
    auto* detail = new DetailController;
    detail->setFunc_type(key);
    detail->setList_vo(record);
    return detail;
}

void FuncController::loadView() {
    auto* screen = new ListScreen;
    screen->setObjectName(QStringLiteral("funcView"));
    screen->resize(320, 416);

    tableView_ = new PullingRefreshTableView(this, screen);
    tableView_->setObjectName(QStringLiteral("funcTable"));
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
    tableView_->setSeparatorStyle(TableView::SeparatorStyle::None);
    tableView_->setBackgroundColor(Qt::transparent);
    tableView_->setRowHeight(kRowHeight);
    tableView_->setGeometry(screen->rect());

    if (func_type_ == "diary") {
        // The kind control takes the title's place.
        setTitle(QString());
        seg1_ = new SegmentedControl;
        seg1_->setObjectName(QStringLiteral("seg1"));
        seg1_->setFixedSize(120, 25);
        seg1_->setTintColor(QColor(70, 130, 180));
        connect(seg1_, &SegmentedControl::valueChanged, this, &FuncController::changeBrush);
        setTitleView(seg1_);

        auto* overlay = new Overlay(screen);
        overlay->setObjectName(QStringLiteral("aview"));
        overlay->setGeometry(screen->rect());
        overlay->hide();
        aview_ = overlay;
        aviewLabel_ = overlay->label();
    } else {
        setTitle(QString::fromStdString(func_title_));
    }

    if (const QString title = writeTitle(func_type_); !title.isEmpty()) {
        setComposeButton(setRightBarButton(title, [this] { writeView(); }));
    }
    setView(screen);
}

void FuncController::viewDidLoad() {
    tableView_->launchRefreshing();
}

void FuncController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
    // Back from an item: the row tapped to open it is lit no longer.
    if (tableView_) {
        if (const std::optional<IndexPath> selected = tableView_->indexPathForSelectedRow()) {
            tableView_->deselectRowAtIndexPath(*selected, animated);
        }
    }
    if (seg1_) {
        if (seg1_->numberOfSegments() == 0) {
            seg1_->insertSegmentWithTitle(QStringLiteral("工作日志"), 0);
            seg1_->insertSegmentWithTitle(QStringLiteral("共享日志"), 1);
        }
        // The kind that is listed, whatever the control showed when the screen was left.
        seg1_->setSelectedSegmentIndex(logic_.isdiaryYES() ? 1 : 0);
        seg1_->show();
    }
}

void FuncController::hideKindControl() {
    if (seg1_) {
        seg1_->removeAllSegments();
    }
}

void FuncController::clickToBack() {
    if (seg1_) {
        hideKindControl();
        seg1_->hide();
    }
    if (NavigationController* nav = navigationController();
        nav && nav->topViewController() == this) {
        nav->popViewController(true);
    }
}

void FuncController::writeView() {
    NavigationController* nav = navigationController();
    if (!nav) {
        return;
    }
    auto* write = new WriteController;
    write->setFunc_type(func_type_);
    // What was saved belongs in this list: it shows without a pull.
    connect(write, &WriteController::submitFinished, this, [this](bool succeeded) {
        if (succeeded) {
            reloadList();
        }
    });
    hideKindControl();
    nav->pushViewController(write, true);
}

void FuncController::reloadList() {
    if (!tableView_) {
        return;
    }
    if (tableView_->isLoading()) {
        // The load under way may have been answered before the save: another one follows it.
        pull(LoadDirection::down);
        return;
    }
    tableView_->launchRefreshing();
}

void FuncController::openDetail(const std::shared_ptr<BaseVO>& record) {
    NavigationController* nav = navigationController();
    if (!nav) {
        return;
    }
    ViewController* detail = detailFactory()(func_type_, record);
    if (!detail) {
        return;
    }
    hideKindControl();
    nav->pushViewController(detail, true);
}

// --- Loads

void FuncController::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
    pull(LoadDirection::down);
}

void FuncController::pullingTableViewDidStartLoading(PullingRefreshTableView*) {
    pull(LoadDirection::up);
}

std::optional<QDateTime> FuncController::pullingTableViewRefreshingFinishedDate(
    PullingRefreshTableView*) {
    // The time of the update to the minute.
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute()));
    return now;
}

void FuncController::pull(LoadDirection direction) {
    // Taken now: a folder step or a kind change during the delay supersedes it.
    const ListLoad load = logic_.startLoad(direction);
    ++loadsRunning_;
    QTimer::singleShot(loadDelay_, this, [this, load] {
        --loadsRunning_;
        runLoad(load);
    });
}

void FuncController::changeBrush(int index) {
    const std::optional<ListLoad> load = logic_.changeBrush(index);
    if (!load) {
        return;
    }
    if (seg1_ && seg1_->numberOfSegments() > 0) {
        seg1_->setSelectedSegmentIndex(index);
    }
    if (aview_) {
        aview_->hide();
    }
    runLoad(*load);
}

void FuncController::runLoad(const ListLoad& load) {
    ++loadsRunning_;
    const QPointer<FuncController> guard(this);
    runInBackground([load, guard] {
        ListPage page = FuncListLogic::searchData(load);
        MainLoop::main().post([guard, page = std::move(page)] {
            if (guard) {
                guard->finishData(page);
            }
        });
    });
}

void FuncController::finishData(const ListPage& page) {
    loadsRunning_ = std::max(0, loadsRunning_ - 1);
    const bool folderStep = page.load.folder != FolderRequest::none &&
                            page.load.folder != FolderRequest::reload &&
                            page.load.folder != FolderRequest::nothing;
    const ListUpdate update = logic_.finishData(page);
    if (folderStep) {
        ProgressHUD::dismiss();
    }
    if (!tableView_) {
        emit loadFinished();
        return;
    }
    if (!update.applied) {
        // Superseded: only the header or footer it held open closes.
        if (loadsRunning_ == 0) {
            tableView_->tableViewDidFinishedLoading();
        }
        emit loadFinished();
        return;
    }
    if (update.reload) {
        tableView_->reloadData();
    }
    if (update.reachedEnd) {
        tableView_->setReachedTheEnd(true);
    }
    const QString message = update.message ? QString::fromStdString(*update.message) : QString();
    if (tableView_->isLoading()) {
        tableView_->tableViewDidFinishedLoadingWithMessage(message);
    } else if (!message.isEmpty()) {
        tableView_->flashMessage(message);
    }
    showOverlay(update);
    showEmptyFolder();
    emit loadFinished();
}

void FuncController::showEmptyFolder() {
    if (!tableView_) {
        return;
    }
    if (!logic_.isEmptyFolder()) {
        if (emptyFolder_) {
            emptyFolder_->hide();
        }
        return;
    }
    if (!emptyFolder_) {
        emptyFolder_ = new QLabel(QString::fromUtf8(FuncListLogic::kEmptyFolder.data(),
                                                    qsizetype(FuncListLogic::kEmptyFolder.size())),
                                  tableView_);
        emptyFolder_->setObjectName(QStringLiteral("emptyFolder"));
        emptyFolder_->setFont(systemFont(15));
        emptyFolder_->setAlignment(Qt::AlignCenter);
        emptyFolder_->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = emptyFolder_->palette();
        palette.setColor(QPalette::WindowText, QColor(127, 127, 127));
        emptyFolder_->setPalette(palette);
    }
    emptyFolder_->setGeometry(0, qRound(kRowHeight) + 20, tableView_->width(), 30);
    emptyFolder_->raise();
    emptyFolder_->show();
}

void FuncController::showOverlay(const ListUpdate& update) {
    if (!aview_ || update.overlay == ListUpdate::Overlay::unchanged) {
        return;
    }
    if (update.overlay == ListUpdate::Overlay::shown) {
        aviewLabel_->setText(QString::fromStdString(update.overlayText));
        aview_->raise();
        aview_->show();
    } else {
        aview_->hide();
    }
}

// --- Table

int FuncController::numberOfRowsInSection(TableView*, int) {
    return static_cast<int>(logic_.list().size());
}

TableViewCell* FuncController::cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    auto* cell = qobject_cast<ModuleRowCell*>(
        tableView->dequeueReusableCellWithIdentifier(ModuleRowCell::identifier()));
    if (!cell) {
        cell = new ModuleRowCell;
    }
    const RecordList& list = logic_.list();
    const auto row = static_cast<std::size_t>(path.row);
    cell->showRecord(func_type_, row < list.size() ? list[row] : nullptr);
    return cell;
}

qreal FuncController::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

void FuncController::didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) {
    const auto row = static_cast<std::size_t>(path.row);
    // The record before the tap: a folder step replaces the rows.
    const std::shared_ptr<BaseVO> record =
        row < logic_.list().size() ? logic_.list()[row] : nullptr;
    const RowTap tap = logic_.didSelectRow(row);
    if (tap.markedRead) {
        // Drawn anew, read (the unread background goes).
        tableView->reloadRowsAtIndexPaths({path});
    }
    switch (tap.kind) {
        case RowTap::Kind::detail:
            openDetail(record);
            break;
        case RowTap::Kind::folderShown:
            tableView->reloadData();
            showEmptyFolder();
            break;
        case RowTap::Kind::folderLoad:
            ProgressHUD::showWithStatus(QString::fromUtf8(kLoadingStatus));
            runLoad(*tap.load);
            break;
        case RowTap::Kind::none:
            break;
    }
}

}  // namespace oa

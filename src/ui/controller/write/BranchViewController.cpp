// The department list loads off the main thread; its result comes back through a QPointer.
#include "ui/controller/write/BranchViewController.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QResizeEvent>

#include "core/platform/MainLoop.h"
#include "ui/controller/write/TickCell.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/TextField.h"

namespace oa {

namespace {

const QString kCellIdentifier = QStringLiteral("BranchCell");
constexpr int kFilterHeight = 44;

// The screen: the filter bar over the list.
class BranchView : public QWidget {
public:
    BranchView(QWidget* bar, QWidget* list) : bar_(bar), list_(list) {
        bar->setParent(this);
        list->setParent(this);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xED, 0xED, 0xED));
        setPalette(palette);
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        bar_->setGeometry(0, 0, width(), kFilterHeight);
        list_->setGeometry(0, kFilterHeight, width(), height() - kFilterHeight);
    }

private:
    QWidget* bar_;
    QWidget* list_;
};

// A department row: its name over "cell_bg".
class BranchCell : public TickCell {
public:
    BranchCell() : TickCell(kCellIdentifier) {
        textLabel()->setFont(systemFont(16));
        setBackgroundColor(Qt::transparent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.drawPixmap(rect(), image(QStringLiteral("cell_bg")));
        TickCell::paintEvent(event);
    }
};

}  // namespace

BranchViewController::BranchViewController(QObject* parent) : ViewController(parent) {}

BranchViewController::~BranchViewController() {
    if (myTableView_) {
        myTableView_->setDataSource(nullptr);
        myTableView_->setDelegate(nullptr);
    }
}

void BranchViewController::loadView() {
    filterField_ = new TextField();
    filterField_->setObjectName(QStringLiteral("deptFilter"));
    filterField_->setPlaceholderText(QStringLiteral("输入部门名称"));
    filterField_->setAccessibleName(QStringLiteral("部门名称"));
    filterField_->setBorderStyle(TextField::BorderStyle::RoundedRect);
    filterField_->setFont(systemFont(16));
    connect(filterField_, &QLineEdit::textChanged, this, &BranchViewController::setFilter);
    connect(filterField_, &TextField::shouldReturn, filterField_, &TextField::resignFirstResponder);
    auto* bar = new QWidget();
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 7, 10, 7);
    layout->addWidget(filterField_);

    myTableView_ = new TableView(TableView::Style::Plain);
    myTableView_->setSeparatorStyle(TableView::SeparatorStyle::None);
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setDataSource(this);
    myTableView_->setDelegate(this);
    setView(new BranchView(bar, myTableView_));
}

void BranchViewController::viewDidLoad() {
    if (dataAry_.empty()) {
        postHttpJsonInfo();
    }
}

void BranchViewController::viewWillAppear(bool) {
    setCustomBackButton();
    auto* buttons = new QWidget();
    auto* layout = new QHBoxLayout(buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    for (const QString& title : {QStringLiteral("全选"), QStringLiteral("确定")}) {
        auto* button = BarButton::rightButton(title);
        connect(button, &QAbstractButton::clicked, this, [this, title] { clickToChoose(title); });
        layout->addWidget(button);
    }
    buttons->setFixedSize(BarButton::kSize.width() * 2 + 5, BarButton::kSize.height());
    setRightBarButtonItem(buttons);
}

void BranchViewController::postHttpJsonInfo() {
    loading_ = true;
    const QPointer<BranchViewController> guard(this);
    runInBackground([guard] {
        DeptBO::Depts depts = DeptBO().getDeptList();
        MainLoop::main().post([guard, depts = std::move(depts)]() mutable {
            if (guard) {
                guard->listArrived(std::move(depts));
            }
        });
    });
}

void BranchViewController::listArrived(DeptBO::Depts depts) {
    loading_ = false;
    dataAry_.insert(dataAry_.end(), depts.begin(), depts.end());
    applyFilter();
    emit listLoaded();
}

void BranchViewController::setFilter(const QString& text) {
    filter_ = text;
    applyFilter();
}

void BranchViewController::applyFilter() {
    shown_.clear();
    const QString wanted = filter_.trimmed();
    for (std::size_t i = 0; i < dataAry_.size(); ++i) {
        const QString name = QString::fromStdString(dataAry_[i].dept_name.value_or(""));
        if (wanted.isEmpty() || name.contains(wanted, Qt::CaseInsensitive)) {
            shown_.push_back(i);
        }
    }
    if (myTableView_) {
        myTableView_->reloadData();
    }
}

std::string BranchViewController::tickKey(std::size_t index) const {
    const Text& id = dataAry_.at(index).dept_id;
    // Built by append: GCC 12 at -O3 misreads `"#" + std::to_string(…)` as an overflow.
    return id ? std::string("=").append(*id) : std::string("#").append(std::to_string(index));
}

bool BranchViewController::isChecked(std::size_t index) const {
    return index < dataAry_.size() && checked_.contains(tickKey(index));
}

void BranchViewController::clickToCheck(int row, bool checked) {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) {
        return;
    }
    const std::string key = tickKey(shown_[static_cast<std::size_t>(row)]);
    if (checked) {
        checked_.insert(key);
    } else {
        checked_.erase(key);
    }
    if (myTableView_) {
        myTableView_->reloadRowsAtIndexPaths({IndexPath{0, row}});
    }
}

void BranchViewController::clickToChoose(const QString& title) {
    if (title == QStringLiteral("确定")) {
        if (aBlock_) {
            // The block may pop and delete this screen.
            const Callback block = aBlock_;
            block(checkedDepts());
        }
        return;
    }
    for (const std::size_t index : shown_) {
        checked_.insert(tickKey(index));
    }
    if (myTableView_) {
        myTableView_->reloadData();
    }
}

DeptBO::Depts BranchViewController::checkedDepts() const {
    DeptBO::Depts depts;
    std::set<std::string> taken;
    for (std::size_t i = 0; i < dataAry_.size(); ++i) {
        const std::string key = tickKey(i);
        if (checked_.contains(key) && taken.insert(key).second) {
            depts.push_back(dataAry_[i]);
        }
    }
    return depts;
}

int BranchViewController::numberOfRowsInSection(TableView*, int) {
    return static_cast<int>(shown_.size());
}

TableViewCell* BranchViewController::cellForRowAtIndexPath(TableView* tableView,
                                                           const IndexPath& path) {
    auto* cell =
        static_cast<TickCell*>(tableView->dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) {
        cell = new BranchCell();
        connect(cell, &TickCell::tickTapped, this, [this, cell](bool ticked) {
            if (const auto at = myTableView_->indexPathForCell(cell)) {
                clickToCheck(at->row, ticked);
            }
        });
    }
    const std::size_t index = shown_.at(static_cast<std::size_t>(path.row));
    cell->textLabel()->setText(QString::fromStdString(dataAry_[index].dept_name.value_or("")));
    cell->setTicked(isChecked(index));
    return cell;
}

qreal BranchViewController::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

}  // namespace oa

// Searches and member requests run off the main thread; their results come back through a
// QPointer. The picker runs its own searches rather than listening to the directory's
// "userSearch", so another screen's search never fills its list.
#include "ui/controller/write/AddReciverViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "core/platform/LatestTaskRunner.h"
#include "core/platform/MainLoop.h"
#include "core/protocol/UserBO.h"
#include "ui/controller/write/BranchViewController.h"
#include "ui/controller/write/TickCell.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/ColorFromHexRGB.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TextField.h"

namespace oa {

namespace {

const QString kCellIdentifier = QStringLiteral("ReciverCell");
constexpr int kSearchBarHeight = 50;
const QColor kNameColour(0x33, 0x33, 0x33);

// Two records are the same person when their user_id values match; a record without one is
// only itself.
bool samePerson(const UserVO& a, const UserVO& b) {
    if (a.user_id && b.user_id) {
        return *a.user_id == *b.user_id;
    }
    return &a == &b;
}

QString text(const Text& value) {
    return QString::fromStdString(value.value_or(""));
}

// The search bar over the list.
class PickerView : public QWidget {
public:
    PickerView(QWidget* bar, QWidget* list) : bar_(bar), list_(list) {
        bar->setParent(this);
        list->setParent(this);
    }

protected:
    // A touch outside the name field puts the keyboard away.
    void mousePressEvent(QMouseEvent* event) override {
        TextField::endEditing(this);
        QWidget::mousePressEvent(event);
    }

    void resizeEvent(QResizeEvent*) override {
        bar_->setGeometry(0, 0, width(), kSearchBarHeight);
        list_->setGeometry(0, kSearchBarHeight, width(), height() - kSearchBarHeight);
    }

private:
    QWidget* bar_;
    QWidget* list_;
};

// The name field over "textview_bg".
class SearchField : public TextField {
public:
    SearchField() { setStyleSheet(QStringLiteral("background: transparent; border: none;")); }

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            painter.drawPixmap(rect(), image(QStringLiteral("textview_bg")));
        }
        TextField::paintEvent(event);
    }
};

// A person: the name with the role after it, the department below.
class ReciverCell : public TickCell {
public:
    ReciverCell()
        : TickCell(kCellIdentifier),
          name_(new QLabel(contentView())),
          role_(new QLabel(contentView())),
          dept_(new QLabel(contentView())),
          divider_(new QLabel(this)) {
        name_->setObjectName(QStringLiteral("name"));
        role_->setObjectName(QStringLiteral("role"));
        dept_->setObjectName(QStringLiteral("dept"));
        name_->setFont(systemFont(16));
        QPalette palette = name_->palette();
        palette.setColor(QPalette::WindowText, kNameColour);
        name_->setPalette(palette);
        role_->setFont(systemFont(14));
        dept_->setFont(systemFont(14));
        palette.setColor(QPalette::WindowText, Qt::gray);
        dept_->setPalette(palette);
        divider_->setScaledContents(true);
        divider_->setPixmap(image(QStringLiteral("dividerline.png")));
    }

    void showPerson(const UserVO& person) {
        name_->setText(text(person.user_name));
        role_->setText(QStringLiteral("(%1)").arg(text(person.priv_name)));
        dept_->setText(QStringLiteral("部门：%1").arg(text(person.dept_name)));
        layoutSubviews();
    }

protected:
    void layoutSubviews() override {
        TickCell::layoutSubviews();
        name_->adjustSize();
        role_->adjustSize();
        name_->move(10, 8);
        role_->move(name_->x() + name_->width() + 5, 10);
        dept_->setGeometry(10, 36, contentView()->width() - 10, 20);
        divider_->setGeometry(0, height() - 2, width(), 2);
    }

private:
    QLabel* name_;
    QLabel* role_;
    QLabel* dept_;
    QLabel* divider_;
};

}  // namespace

AddReciverViewController::AddReciverViewController(QObject* parent)
    : ViewController(parent), searches_(std::make_unique<LatestTaskRunner>()) {}

AddReciverViewController::~AddReciverViewController() {
    if (table_view_) {
        table_view_->setDataSource(nullptr);
        table_view_->setDelegate(nullptr);
    }
}

void AddReciverViewController::loadView() {
    auto* bar = new QWidget();
    bar->setObjectName(QStringLiteral("search_view"));
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, colorFromHexRGB(QStringView(u"EDEDED")));
    bar->setPalette(palette);
    name_txt_ = new SearchField();
    name_txt_->setObjectName(QStringLiteral("name_txt"));
    name_txt_->setPlaceholderText(QStringLiteral("输入姓名"));
    name_txt_->setAccessibleName(QStringLiteral("姓名"));
    name_txt_->setFont(systemFont(16));
    connect(name_txt_, &QLineEdit::textEdited, this, &AddReciverViewController::textFieldDidChange);
    connect(name_txt_, &TextField::shouldReturn, this, [this] {
        name_txt_->resignFirstResponder();
        textFieldDidChange(name_txt_->text());
    });
    auto* done =
        new BarButton(QStringLiteral("确定"), QStringLiteral("btn_background1"), QSize(35, 35));
    done->setObjectName(QStringLiteral("done"));
    connect(done, &QAbstractButton::clicked, this, &AddReciverViewController::clickToSet);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 7, 10, 8);
    layout->setSpacing(8);
    layout->addWidget(name_txt_, 1);
    layout->addWidget(done);

    table_view_ = new TableView(TableView::Style::Plain);
    table_view_->setSeparatorStyle(TableView::SeparatorStyle::None);
    table_view_->setRowHeight(kRowHeight);
    table_view_->setDataSource(this);
    table_view_->setDelegate(this);
    setView(new PickerView(bar, table_view_));
}

void AddReciverViewController::viewWillAppear(bool) {
    setTitle(QStringLiteral("选择收件人"));
    setCustomBackButton();
    auto* byDept = new BarButton(QStringLiteral("按部门选取"), QStringLiteral("btn_background1"),
                                 QSize(75, 25));
    connect(byDept, &QAbstractButton::clicked, this, &AddReciverViewController::clickToChoose);
    setRightBarButtonItem(byDept);
}

void AddReciverViewController::textFieldDidChange(const QString& typed) {
    const QPointer<AddReciverViewController> guard(this);
    const std::string name = typed.toStdString();
    searches_->submit([guard, name]() -> Task {
        UserBO::People people = UserBO::userList(UserBO().httpJsonInfo({{"name", name}}));
        return [guard, people = std::move(people)]() mutable {
            if (guard) {
                guard->result(std::move(people));
            }
        };
    });
}

bool AddReciverViewController::isSearching() const {
    return searches_->isBusy();
}

void AddReciverViewController::result(People people) {
    list_ = std::move(people);
    if (table_view_) {
        table_view_->reloadData();
    }
    emit searchShown();
}

bool AddReciverViewController::isAlreadyIn(const UserVO& person) const {
    return std::any_of(user_arr_.begin(), user_arr_.end(),
                       [&](const auto& chosen) { return samePerson(*chosen, person); });
}

void AddReciverViewController::setChosen(const People& people) {
    user_arr_.clear();
    for (const auto& person : people) {
        if (person) {
            choose(person);
        }
    }
    list_ = user_arr_;
    if (table_view_) {
        table_view_->reloadData();
    }
}

void AddReciverViewController::choose(const std::shared_ptr<UserVO>& person) {
    if (!isAlreadyIn(*person)) {
        user_arr_.push_back(person);
    }
}

void AddReciverViewController::clickToCheckIt(int row, bool checked) {
    if (row < 0 || static_cast<std::size_t>(row) >= list_.size()) {
        return;
    }
    const std::shared_ptr<UserVO> person = list_[static_cast<std::size_t>(row)];
    if (checked) {
        choose(person);
    } else {
        std::erase_if(user_arr_, [&](const auto& chosen) { return samePerson(*chosen, *person); });
    }
    if (table_view_) {
        // Namesakes and the same person listed twice show the new state too.
        table_view_->reloadData();
    }
}

void AddReciverViewController::clickToSet() {
    if (mBlock_) {
        // The block may pop and delete this screen.
        const Callback block = mBlock_;
        block(user_arr_);
    }
}

void AddReciverViewController::clickToChoose() {
    // A second tap while the department screen comes in opens no second one.
    NavigationController* stack = navigationController();
    if (stack && stack->topViewController() != this) {
        return;
    }
    auto* branch = new BranchViewController();
    branch_ = branch;
    const QPointer<AddReciverViewController> guard(this);
    const QPointer<BranchViewController> branchGuard(branch);
    branch->callBack([guard, branchGuard](const DeptBO::Depts& depts) {
        if (!guard) {
            return;
        }
        guard->postDeptInfo(depts);
        if (NavigationController* nav = guard->navigationController();
            nav && branchGuard && nav->topViewController() == branchGuard) {
            nav->popViewController(true);
        }
    });
    if (stack) {
        stack->pushViewController(branch, true);
    } else {
        // Not on a stack (a test drives the screens one by one): the screen lives with this one.
        branch->setParent(this);
    }
}

void AddReciverViewController::postDeptInfo(const DeptBO::Depts& depts) {
    ++membersOut_;
    const QPointer<AddReciverViewController> guard(this);
    runInBackground([guard, depts] {
        DeptBO::People members = DeptBO().getDeptUsers(depts);
        MainLoop::main().post([guard, members = std::move(members)] {
            if (guard) {
                --guard->membersOut_;
                guard->addMembers(members);
            }
        });
    });
}

void AddReciverViewController::addMembers(const People& members) {
    for (const auto& member : members) {
        const auto listed = std::find_if(list_.begin(), list_.end(), [&](const auto& shown) {
            return samePerson(*shown, *member);
        });
        if (listed == list_.end()) {
            list_.push_back(member);
            choose(member);
        } else {
            choose(*listed);
        }
    }
    if (table_view_) {
        table_view_->reloadData();
    }
    emit membersAdded();
}

int AddReciverViewController::numberOfRowsInSection(TableView*, int) {
    return static_cast<int>(list_.size());
}

TableViewCell* AddReciverViewController::cellForRowAtIndexPath(TableView* tableView,
                                                               const IndexPath& path) {
    auto* cell =
        static_cast<ReciverCell*>(tableView->dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) {
        cell = new ReciverCell();
        connect(cell, &TickCell::tickTapped, this, [this, cell](bool ticked) {
            if (const auto at = table_view_->indexPathForCell(cell)) {
                clickToCheckIt(at->row, ticked);
            }
        });
    }
    const UserVO& person = *list_.at(static_cast<std::size_t>(path.row));
    cell->showPerson(person);
    cell->setTicked(isAlreadyIn(person));
    return cell;
}

qreal AddReciverViewController::heightForRowAtIndexPath(TableView*, const IndexPath&) {
    return kRowHeight;
}

}  // namespace oa

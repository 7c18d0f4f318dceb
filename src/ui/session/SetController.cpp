// SetController: the fields of the environments table, storing them and the keyboard moves.
#include "ui/session/SetController.h"

#include <QEvent>
#include <QLabel>
#include <QPropertyAnimation>

#include "core/platform/NotificationCenter.h"
#include "core/session/SetBO.h"
#include "ui/kit/BarButton.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TextField.h"
#include "ui/kit/ViewTags.h"

namespace oa {

namespace {

constexpr int kLabelWidth = 96;

// A row of the table: a label and one of the screen's text fields. The fields belong to the
// screen, which keeps what was typed, so a cell hands its field back when it goes.
class FieldCell : public TableViewCell {
public:
    FieldCell(const QString& caption, TextField* field, QWidget* stash)
        : field_(field), stash_(stash) {
        setSelectionStyle(SelectionStyle::None);
        label_ = new QLabel(caption, contentView());
        label_->setFont(boldSystemFont(15));
        label_->setStyleSheet(QStringLiteral("color: #2b3d52; background: transparent;"));
        field->setParent(contentView());
        field->show();
    }
    ~FieldCell() override {
        if (field_ && stash_) {
            field_->hide();
            field_->setParent(stash_);
        }
    }

protected:
    void layoutSubviews() override {
        TableViewCell::layoutSubviews();
        const QRect area = contentView()->rect();
        label_->setGeometry(10, 0, kLabelWidth, area.height());
        if (field_) {
            field_->setGeometry(10 + kLabelWidth, 0, std::max(0, area.width() - kLabelWidth - 16),
                                area.height());
        }
    }

private:
    QLabel* label_;
    QPointer<TextField> field_;
    QPointer<QWidget> stash_;
};

}  // namespace

const SetController::Row& SetController::rowAt(const IndexPath& path) {
    static const Row rows[] = {
        {"网络 1：", kName1Tag, "name1"},        {"IP地址：", kIp1Tag, "ip1"},
        {"网络 2：", kName2Tag, "name2"},        {"IP地址：", kIp2Tag, "ip2"},
        {"网络 3：", kName3Tag, "name3"},        {"IP地址：", kIp3Tag, "ip3"},
        {"IM服务端口：", kImPortTag, "im_port"},
    };
    const int index = path.section == 0 ? std::clamp(path.row, 0, 5) : 6;
    return rows[index];
}

SetController::SetController(TableView::Style, QObject* parent)
    : ViewController(parent), settings_(SetBO().readSet()) {
    setCustomBackButton([this] { clickToBack(); });
    setSaveButton();
}

SetController::~SetController() = default;

void SetController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("setView"));
    stash_ = new QWidget(view);
    stash_->hide();
    for (int i = 0; i < 7; ++i) {
        const Row& row = rowAt(i < 6 ? IndexPath{0, i} : IndexPath{1, 0});
        auto* field = new TextField(stash_);
        setTag(field, row.tag);
        // "IP地址" alone would not tell the three networks apart.
        QString name = QString::fromUtf8(row.label).remove(QStringLiteral("："));
        if (i % 2 == 1 && i < 6) {
            name = QStringLiteral("网络 %1 的%2").arg(i / 2 + 1).arg(name);
        }
        field->setAccessibleName(name);
        if (settings_) {
            if (const auto it = settings_->find(row.key); it != settings_->end()) {
                field->setText(QString::fromStdString(it->second));
            }
        }
        connect(field, &TextField::didBeginEditing, this,
                [this, field] { textFieldDidBeginEditing(field); });
        connect(field, &TextField::shouldReturn, this,
                [this, field] { textFieldShouldReturn(field); });
        connect(field, &TextField::didEndEditing, this, [this] { moveContent(0); });
        fields_[static_cast<std::size_t>(i)] = field;
    }

    // The table moves up while a low field is edited; the screen's background stays put.
    TableView::setGroupedBackground(view);
    table_ = new TableView(TableView::Style::Grouped, view);
    table_->setBackgroundColor(Qt::transparent);
    table_->setScrollEnabled(false);
    // Nothing to scroll: Tab goes from field to field.
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setDataSource(this);
    table_->setDelegate(this);
    view->installEventFilter(this);
    setView(view);
}

void SetController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarHidden(false, animated);
    }
}

int SetController::numberOfSectionsInTableView(TableView*) {
    return 2;
}

int SetController::numberOfRowsInSection(TableView*, int section) {
    return section == 0 ? 6 : 1;
}

TableViewCell* SetController::cellForRowAtIndexPath(TableView*, const IndexPath& path) {
    const Row& row = rowAt(path);
    TextField* found = field(row.tag);
    if (!found) {
        return nullptr;
    }
    return new FieldCell(QString::fromUtf8(row.label), found, stash_);
}

TextField* SetController::field(int tag) const {
    for (const auto& candidate : fields_) {
        if (candidate && oa::tag(candidate) == tag) {
            return candidate;
        }
    }
    return nullptr;
}

SetDictionary SetController::fieldTexts() const {
    SetDictionary texts;
    for (int i = 0; i < 7; ++i) {
        const Row& row = rowAt(i < 6 ? IndexPath{0, i} : IndexPath{1, 0});
        const TextField* found = field(row.tag);
        texts[row.key] = found ? found->text().toStdString() : std::string();
    }
    return texts;
}

SetDictionary SetController::settingsToSave(SetDictionary texts) {
    for (const char* n : {"1", "2", "3"}) {
        const std::string name = std::string("name") + n;
        if (!texts["ip" + std::string(n)].empty() && texts[name].empty()) {
            texts[name] = "网络" + std::string(n);
        }
    }
    return texts;
}

void SetController::save() {
    if (isViewLoaded()) {
        TextField::endEditing(view());
    }
    const SetDictionary settings = settingsToSave(fieldTexts());
    // The screen shows the names it stores.
    for (int i = 0; i < 6; i += 2) {
        const Row& row = rowAt({0, i});
        if (TextField* name = field(row.tag)) {
            name->setText(QString::fromStdString(settings.at(row.key)));
        }
    }
    // A failed write is not reported; the screen closes all the same.
    SetBO().saveSet(settings);
    NotificationCenter::defaultCenter().post(kRefresh);
    leave(kSaveRevealMs);
}

void SetController::clickToBack() {
    leave(kBackRevealMs);
}

void SetController::leave(int revealMs) {
    if (NavigationController* nav = navigationController();
        nav && nav->topViewController() == this) {
        nav->popViewControllerWithReveal(revealMs);
    }
}

void SetController::takebackKeyboard() {
    if (isViewLoaded()) {
        TextField::endEditing(view());
    }
    moveContent(0);
    setSaveButton();
}

void SetController::textFieldDidBeginEditing(TextField* edited) {
    setRightBarButton(QStringLiteral("确定"), [this] { takebackKeyboard(); });
    const int editedTag = oa::tag(edited);
    // Up only for the lowest rows, down for the others: the field being edited stays in sight.
    const bool low = editedTag == kImPortTag || editedTag == kName3Tag || editedTag == kIp3Tag;
    moveContent(low ? -kKeyboardShift : 0);
}

void SetController::textFieldShouldReturn(TextField* edited) {
    if (edited) {
        edited->resignFirstResponder();
    }
    moveContent(0);
}

void SetController::setSaveButton() {
    setRightBarButton(QStringLiteral("保存"), [this] { save(); });
}

void SetController::moveContent(int offset) {
    if (targetOffset_ == offset || !table_) {
        return;
    }
    targetOffset_ = offset;
    if (move_) {
        move_->stop();
    }
    if (!table_->isVisible()) {
        table_->move(0, offset);
        return;
    }
    auto* move = new QPropertyAnimation(table_, "pos", this);
    move->setDuration(kKeyboardMs);
    move->setEasingCurve(QEasingCurve::InOutQuad);
    move->setEndValue(QPoint(0, offset));
    move_ = move;
    move->start(QAbstractAnimation::DeleteWhenStopped);
}

bool SetController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && isViewLoaded() && watched == view() && table_) {
        // The table keeps its full height while it is moved up, so nothing below it shows.
        table_->setGeometry(0, move_ ? table_->y() : targetOffset_, view()->width(),
                            view()->height());
    }
    return ViewController::eventFilter(watched, event);
}

}  // namespace oa

// LoginView: layout of the sign-in form, filling it from the stored record, the environment
// chooser and the keyboard moves.
#include "ui/session/LoginView.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>

#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/UrlText.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TextField.h"
#include "ui/kit/ViewTags.h"
#include "ui/session/LoginService.h"
#include "ui/session/MainScreen.h"
#include "ui/session/PictureView.h"

namespace oa {

namespace {

// The form's grid: a label column and a control column inside the panel picture.
constexpr int kPanelTop = 100;
constexpr int kFirstRow = 112;
constexpr int kRowStep = 40;
constexpr int kRowHeight = 30;
constexpr int kLabelX = 22;
constexpr int kLabelWidth = 72;
constexpr int kControlX = 94;
constexpr int kControlWidth = 202;
constexpr int kConfirmY = 330;
constexpr int kConfirmTallY = 380;  // lower on the 320 x 568 screen

QString text(const std::optional<std::string>& value) {
    return QString::fromStdString(value.value_or(""));
}

std::optional<std::string> setting(const std::optional<SetDictionary>& settings,
                                   const std::string& key) {
    if (!settings) {
        return std::nullopt;
    }
    const auto it = settings->find(key);
    return it == settings->end() ? std::nullopt : std::optional(it->second);
}

QLabel* makeLabel(const QString& caption, int row, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setFont(systemFont(15));
    label->setStyleSheet(QStringLiteral("color: #2b3d52; background: transparent;"));
    label->setGeometry(kLabelX, kFirstRow + row * kRowStep, kLabelWidth, kRowHeight);
    return label;
}

const QString kBackgroundImage = QStringLiteral("background.png");
const QString kLogoImage = QStringLiteral("logo.png");
const QString kPanelImage = QStringLiteral("login_area.png");
const QString kChooserImage = QStringLiteral("search.png");
const QString kSettingsImage = QStringLiteral("settingicon.png");

QPushButton* makeIconButton(const QString& imageName, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setIcon(QIcon(image(imageName)));
    button->setIconSize(QSize(30, 30));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    // Tab reaches it and Enter presses it; a tap leaves the focus where it is.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(true);
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: none; background: transparent; }"
                       "QPushButton:pressed { background: #22000000; }"
                       "QPushButton:focus { border: 2px solid #8fd0ff; border-radius: 6px; }"));
    return button;
}

}  // namespace

QStringList LoginView::imageNames() {
    return {kBackgroundImage, kLogoImage, kPanelImage, kChooserImage, kSettingsImage};
}

LoginView::LoginView(QWidget* parent) : QWidget(parent), canvas_(new QWidget(this)) {
    setObjectName(QStringLiteral("loginView"));
}

LoginView::~LoginView() {
    // The chooser lives in the window and may outlast the form.
    if (choiceView_) {
        choiceView_->setDelegate(nullptr);
        choiceView_->deleteLater();
    }
}

void LoginView::createView() {
    if (created_) {
        return;
    }
    created_ = true;
    createBGView();
    createComponent();
    // A tap beside the fields takes the keyboard focus away from them.
    canvas_->setFocusPolicy(Qt::ClickFocus);
    setLoginValue();
}

void LoginView::createBGView() {
    auto* background =
        new PictureView(image(kBackgroundImage), PictureView::Mode::Stretch, canvas_);
    background->setObjectName(QStringLiteral("loginBackground"));
    background->setGeometry(canvas_->rect());
    connect(background, &PictureView::tapped, this, &LoginView::backgroundTapped);

    auto* logo = new PictureView(image(kLogoImage), PictureView::Mode::Stretch, canvas_);
    logo->setGeometry(80, 28, 160, 56);
    connect(logo, &PictureView::tapped, this, &LoginView::backgroundTapped);

    auto* panel = new PictureView(image(kPanelImage), PictureView::Mode::Stretch, canvas_);
    panel->setGeometry(10, kPanelTop, 300, 210);
    connect(panel, &PictureView::tapped, this, &LoginView::backgroundTapped);
}

void LoginView::createComponent() {
    auto addField = [this](int tag, int row, int width) {
        auto* field = new TextField(canvas_);
        setTag(field, tag);
        field->setBorderStyle(TextField::BorderStyle::RoundedRect);
        field->setGeometry(kControlX, kFirstRow + row * kRowStep, width, kRowHeight);
        connect(field, &TextField::didBeginEditing, this,
                [this, field] { textFieldDidBeginEditing(field); });
        connect(field, &TextField::shouldReturn, this,
                [this, field] { textFieldShouldReturn(field); });
        return field;
    };

    makeLabel(QStringLiteral("用户名："), 0, canvas_);
    TextField* name = addField(kNameTag, 0, kControlWidth);
    name->setAccessibleName(QStringLiteral("用户名"));
    name->setInputMethodHints(Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);

    makeLabel(QStringLiteral("密  码："), 1, canvas_);
    TextField* password = addField(kPasswordTag, 1, kControlWidth);
    password->setAccessibleName(QStringLiteral("密码"));
    password->setSecureTextEntry(true);

    makeLabel(QStringLiteral("OA地址："), 2, canvas_);
    constexpr int kEnvironmentWidth = 130;
    TextField* address = addField(kAddressTag, 2, kEnvironmentWidth);
    address->setAccessibleName(QStringLiteral("OA地址"));
    address->setReadOnly(true);
    address->hide();
    // The environment's name stands where the address would be; it is chosen, not typed.
    TextField* environment = addField(kEnvironmentNameTag, 2, kEnvironmentWidth);
    environment->setAccessibleName(QStringLiteral("网络环境"));
    environment->setReadOnly(true);
    environment->setFocusPolicy(Qt::NoFocus);

    const int buttonsY = kFirstRow + 2 * kRowStep;
    chooser_ = makeIconButton(kChooserImage, canvas_);
    chooser_->setObjectName(QStringLiteral("chooserButton"));
    chooser_->setToolTip(QStringLiteral("请选择网络环境"));
    chooser_->setAccessibleName(QStringLiteral("选择网络环境"));
    chooser_->setGeometry(kControlX + kEnvironmentWidth + 4, buttonsY, 30, 30);
    connect(chooser_, &QPushButton::clicked, this, &LoginView::openChoiceView);
    settings_ = makeIconButton(kSettingsImage, canvas_);
    settings_->setObjectName(QStringLiteral("settingsButton"));
    settings_->setAccessibleName(QStringLiteral("网络环境设置"));
    settings_->setGeometry(kControlX + kEnvironmentWidth + 38, buttonsY, 30, 30);
    connect(settings_, &QPushButton::clicked, this, &LoginView::pushSet);

    const int switchOffset = (kRowHeight - Switch::kSize.height()) / 2;
    makeLabel(QStringLiteral("记住密码"), 3, canvas_);
    auto* remember = new Switch(canvas_);
    setTag(remember, kRememberTag);
    remember->setAccessibleName(QStringLiteral("记住密码"));
    remember->move(kControlX, kFirstRow + 3 * kRowStep + switchOffset);
    makeLabel(QStringLiteral("自动登录"), 4, canvas_);
    auto* automatic = new Switch(canvas_);
    setTag(automatic, kAutoTag);
    automatic->setAccessibleName(QStringLiteral("自动登录"));
    automatic->move(kControlX, kFirstRow + 4 * kRowStep + switchOffset);

    confirm_ = new QPushButton(QStringLiteral("确  认"), canvas_);
    confirm_->setObjectName(QStringLiteral("confirmButton"));
    confirm_->setFont(boldSystemFont(18));
    confirm_->setCursor(Qt::PointingHandCursor);
    confirm_->setAutoDefault(true);  // Enter signs in once Tab has reached it
    confirm_->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; border: 1px solid #173f70; border-radius: 8px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5a9be0, stop:1 #1f5aa0); }"
        "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #1f5aa0, stop:1 #3d7cc4); }"
        "QPushButton:focus { border: 2px solid #8fd0ff; }"));
    confirm_->setGeometry(20, isTallScreen() ? kConfirmTallY : kConfirmY, 280, 42);
    connect(confirm_, &QPushButton::clicked, this, &LoginView::loginEvent);
}

void LoginView::setLoginValue() {
    if (!login_service_) {
        return;
    }
    const LoginVO record = login_service_->getLoginInfo();
    field(kNameTag)->setText(text(record.name));
    GlobalVar::getInstance_global().setChoiceKey(record.oaKey);
    field(kAddressTag)->setText(text(record.oa));
    field(kEnvironmentNameTag)->setText(text(record.oaName));
    switchWithTag(kRememberTag)->setOn(record.isRem, true);
    switchWithTag(kAutoTag)->setOn(record.isAuto, true);
    field(kPasswordTag)->setText(record.isRem ? text(record.pwd) : QString());
    if (record.isAuto) {
        QTimer::singleShot(0, this, [this, record] {
            if (login_service_) {
                login_service_->loginServer(record);
            }
        });
    }
}

std::vector<LoginView::ChoiceOption> LoginView::choiceOptions(
    const std::optional<SetDictionary>& settings) {
    std::vector<ChoiceOption> options;
    for (int n = 1; n <= 3; ++n) {
        const std::string nameKey = "name" + std::to_string(n);
        const auto address = setting(settings, "ip" + std::to_string(n));
        if (!address || address->empty()) {
            continue;
        }
        options.push_back({QStringLiteral("11.png"), text(setting(settings, nameKey)),
                           QString::fromStdString(*address), QString::fromStdString(nameKey)});
    }
    return options;
}

QString LoginView::choiceTitle(const std::vector<ChoiceOption>& options) {
    return options.empty() ? QStringLiteral("请先去设置网络环境")
                           : QStringLiteral("请选择网络环境");
}

void LoginView::openChoiceView() {
    if (choiceView_) {
        return;  // one chooser at a time
    }
    options_ = choiceOptions(LoginBO().getSetPlistInfo());
    QList<LeveyPopListView::Option> entries;
    for (const ChoiceOption& option : options_) {
        entries.append({image(option.img), option.text});
    }
    auto* list = new LeveyPopListView(choiceTitle(options_), entries);
    list->setObjectName(QStringLiteral("environmentChooser"));
    list->setDelegate(this);
    choiceView_ = list;
    list->showInView(window(), true);
}

void LoginView::leveyPopListView(LeveyPopListView*, int index) {
    if (index < 0 || index >= static_cast<int>(options_.size())) {
        return;
    }
    const ChoiceOption& option = options_[static_cast<std::size_t>(index)];
    GlobalVar::getInstance_global().setChoiceKey(option.key.toStdString());
    field(kAddressTag)->setText(option.ip);
    field(kEnvironmentNameTag)->setText(option.text);
}

void LoginView::leveyPopListViewDidCancel() {}

void LoginView::refreshSetValue(const std::optional<SetDictionary>& settings) {
    const std::string key = GlobalVar::getInstance_global().choiceKey().value_or("");
    if (key == "name1" || key == "name2" || key == "name3") {
        const std::string n = key.substr(4);
        field(kAddressTag)->setText(text(setting(settings, "ip" + n)));
        field(kEnvironmentNameTag)->setText(text(setting(settings, key)));
    } else {
        field(kAddressTag)->setText(QString());
        field(kEnvironmentNameTag)->setText(QString());
    }
}

void LoginView::pushSet() {
    if (login_service_) {
        login_service_->enterSetController();
    }
}

QString LoginView::UrlText(const QString& address) {
    return QString::fromStdString(oa::UrlText(address.toStdString()));
}

LoginVO LoginView::loginRecord() const {
    LoginVO record;
    record.name = field(kNameTag)->text().toStdString();
    record.pwd = field(kPasswordTag)->text().toStdString();
    record.oa = field(kAddressTag)->text().toStdString();
    record.oaKey = GlobalVar::getInstance_global().choiceKey();
    record.isRem = switchWithTag(kRememberTag)->isOn();
    record.isAuto = switchWithTag(kAutoTag)->isOn();
    record.oaName = field(kEnvironmentNameTag)->text().toStdString();
    return record;
}

void LoginView::loginEvent() {
    TextField* address = field(kAddressTag);
    address->setText(UrlText(address->text()));
    if (login_service_) {
        login_service_->loginServer(loginRecord());
    }
}

void LoginView::textFieldDidBeginEditing(TextField* edited) {
    lastEdited_ = edited;
    moveContent(-kKeyboardShift);
}

void LoginView::textFieldShouldReturn(TextField* edited) {
    if (edited) {
        edited->resignFirstResponder();
    }
    moveContent(0);
}

void LoginView::backgroundTapped() {
    if (!lastEdited_) {
        return;
    }
    lastEdited_->resignFirstResponder();
    moveContent(0);
}

TextField* LoginView::field(int tag) const {
    return viewWithTag<TextField>(canvas_, tag);
}

Switch* LoginView::switchWithTag(int tag) const {
    return viewWithTag<Switch>(canvas_, tag);
}

void LoginView::moveContent(int offset) {
    if (targetOffset_ == offset) {
        return;
    }
    targetOffset_ = offset;
    if (move_) {
        move_->stop();
    }
    if (!isVisible()) {
        canvas_->move(0, offset);
        return;
    }
    auto* move = new QPropertyAnimation(canvas_, "pos", this);
    move->setDuration(kKeyboardMs);
    move->setEasingCurve(QEasingCurve::InOutQuad);
    move->setEndValue(QPoint(0, offset));
    move_ = move;
    move->start(QAbstractAnimation::DeleteWhenStopped);
}

void LoginView::showEvent(QShowEvent*) {
    if (!shown_) {
        shown_ = true;
        // No field is being edited when the screen first shows (the form would move up).
        canvas_->setFocus();
    }
}

void LoginView::resizeEvent(QResizeEvent*) {
    // Taller than the view by the keyboard move, so no gap shows below while it is up.
    canvas_->setGeometry(0, move_ ? canvas_->y() : targetOffset_, width(),
                         height() + kKeyboardShift);
    for (QWidget* child :
         canvas_->findChildren<PictureView*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->objectName() == QLatin1String("loginBackground")) {
            child->setGeometry(canvas_->rect());
        }
    }
}

}  // namespace oa

// LoginView: the sign-in form: user name, password, the chosen network environment with its
// chooser and settings buttons, the two switches and "确  认", over the background pictures.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "core/session/LoginVO.h"
#include "core/session/PlistManager.h"
#include "ui/kit/LeveyPopListView.h"

class QPropertyAnimation;
class QPushButton;

namespace oa {

class LoginService;
class Switch;
class TextField;

class LoginView : public QWidget, public LeveyPopListViewDelegate {
    Q_OBJECT
public:
    // The controls, by tag.
    static constexpr int kNameTag = 1000;
    static constexpr int kPasswordTag = 1001;
    static constexpr int kAddressTag = 1002;  // hidden: the address of the chosen environment
    static constexpr int kRememberTag = 1003;
    static constexpr int kAutoTag = 1004;
    static constexpr int kEnvironmentNameTag = 10022;  // shown where the address would be

    // The images the screen shows when it is built (for prefetchImages).
    static QStringList imageNames();

    // How far the form moves up while a field is edited, and how fast.
    static constexpr int kKeyboardShift = 45;
    static constexpr int kKeyboardMs = 300;

    // One entry of the environment chooser.
    struct ChoiceOption {
        QString img;   // "11.png"
        QString text;  // the environment's name
        QString ip;    // its address, as stored
        QString key;   // "name1", "name2" or "name3"
        bool operator==(const ChoiceOption&) const = default;
    };

    explicit LoginView(QWidget* parent = nullptr);
    ~LoginView() override;

    // Not owned; set before createView().
    LoginService* login_service() const { return login_service_; }
    void setLogin_service(LoginService* service) { login_service_ = service; }

    // Builds the screen and fills it from the stored record (createBGView, createComponent,
    // setLoginValue). Once only: setLoginValue may start the automatic sign-in.
    void createView();
    void createBGView();
    void createComponent();
    // Fills the form from the stored record; with "自动登录" on it starts an attempt with the
    // stored record itself (so with the stored password even when it is not shown), on the next
    // turn of the event loop, when the window is up.
    void setLoginValue();

    // The environment chooser over the window.
    void openChoiceView();
    // The entries of the chooser: the environments 1 to 3 that have an address, in that order.
    static std::vector<ChoiceOption> choiceOptions(const std::optional<SetDictionary>& settings);
    static QString choiceTitle(const std::vector<ChoiceOption>& options);
    void leveyPopListView(LeveyPopListView* popListView, int index) override;
    void leveyPopListViewDidCancel() override;
    // The chooser while it is open.
    LeveyPopListView* choiceView() const { return choiceView_; }

    // After the settings were saved: address and name of the chosen environment anew.
    void refreshSetValue(const std::optional<SetDictionary>& settings);
    // The settings button.
    void pushSet();
    // "确  认": normalises the address field and starts an attempt with the form's record.
    void loginEvent();
    // The record the form describes now (the address field as it stands).
    LoginVO loginRecord() const;
    static QString UrlText(const QString& text);

    // Keyboard handling of the fields.
    void textFieldDidBeginEditing(TextField* field);
    void textFieldShouldReturn(TextField* field);
    // A tap on the background picture: once a field has been edited, hides the keyboard.
    void backgroundTapped();
    // Where the form is: 0, or -kKeyboardShift while a field is edited (the end point of a move
    // under way).
    int contentOffset() const { return targetOffset_; }

    TextField* field(int tag) const;
    Switch* switchWithTag(int tag) const;
    QPushButton* confirmButton() const { return confirm_; }
    QPushButton* chooserButton() const { return chooser_; }
    QPushButton* settingsButton() const { return settings_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void moveContent(int offset);

    LoginService* login_service_ = nullptr;
    QWidget* canvas_;  // everything; moved up while the keyboard is out
    QPushButton* confirm_ = nullptr;
    QPushButton* chooser_ = nullptr;
    QPushButton* settings_ = nullptr;
    QPointer<TextField> lastEdited_;
    QPointer<QPropertyAnimation> move_;
    int targetOffset_ = 0;
    std::vector<ChoiceOption> options_;  // of the open chooser
    QPointer<LeveyPopListView> choiceView_;
    bool created_ = false;
    bool shown_ = false;
};

}  // namespace oa

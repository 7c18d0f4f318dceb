// SetController: the network environments screen: names and addresses of the three
// environments and the IM service port in a grouped table, stored in "SetPlist.plist".
#pragma once

#include <QPointer>
#include <array>
#include <optional>

#include "core/session/PlistManager.h"
#include "ui/kit/TableView.h"
#include "ui/kit/ViewController.h"

class QPropertyAnimation;

namespace oa {

class TextField;

class SetController : public ViewController, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    // Posted (without object) after the settings were stored.
    static constexpr char kRefresh[] = "refresh";

    // The text fields, by tag.
    static constexpr int kImPortTag = 1016;
    static constexpr int kName1Tag = 1017;
    static constexpr int kIp1Tag = 1018;
    static constexpr int kName2Tag = 1019;
    static constexpr int kIp2Tag = 1020;
    static constexpr int kName3Tag = 1021;
    static constexpr int kIp3Tag = 1022;

    // How far the screen moves up while one of the lowest fields is edited, and how fast.
    static constexpr int kKeyboardShift = 140;
    static constexpr int kKeyboardMs = 300;
    // The reveal transitions of leaving with and without saving.
    static constexpr int kSaveRevealMs = 350;
    static constexpr int kBackRevealMs = 330;

    // The screen is always grouped; the stored settings are read now, once.
    explicit SetController(TableView::Style style = TableView::Style::Grouped,
                           QObject* parent = nullptr);
    ~SetController() override;

    // "保存": stores the seven fields (naming unnamed environments that have an address),
    // posts "refresh" and goes back.
    void save();
    // "  返回": goes back without storing.
    void clickToBack();
    // "确定" while editing: ends the editing and brings back "保存".
    void takebackKeyboard();
    void textFieldDidBeginEditing(TextField* field);
    void textFieldShouldReturn(TextField* field);

    // The settings as they would be stored now: the fields' texts under their keys, an
    // environment with an address and no name named "网络1", "网络2" or "网络3".
    static SetDictionary settingsToSave(SetDictionary fieldTexts);
    // The fields' texts under their keys, as typed.
    SetDictionary fieldTexts() const;

    TextField* field(int tag) const;
    TableView* tableView() const { return table_; }
    // 0, or -kKeyboardShift while a low field is edited (the end point of a move under way).
    int contentOffset() const { return targetOffset_; }

    // TableViewDataSource and TableViewDelegate.
    int numberOfSectionsInTableView(TableView* tableView) override;
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        const char* label;
        int tag;
        const char* key;
    };
    static const Row& rowAt(const IndexPath& path);
    void setSaveButton();
    void moveContent(int offset);
    void leave(int revealMs);

    std::optional<SetDictionary> settings_;  // snapshot taken when the screen was made
    TableView* table_ = nullptr;
    QWidget* stash_ = nullptr;  // keeps the fields while no cell shows them
    std::array<QPointer<TextField>, 7> fields_;
    QPointer<QPropertyAnimation> move_;
    int targetOffset_ = 0;
};

}  // namespace oa

// AddReciverViewController: the recipient picker ("选择收件人"). Every change of the name typed
// in "输入姓名" searches the staff directory; the list shows the reply to the latest text. Ticking
// a row chooses that person, unticking drops them; "按部门选取" opens the department screen, whose
// members join the list ticked. The picker opens with the people already chosen listed and
// ticked. "确定" hands the people chosen, in choosing order and each once,
// to the callback; "  返回" leaves without calling it.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "core/protocol/DeptBO.h"
#include "core/protocol/DirectoryRecords.h"
#include "ui/kit/TableView.h"
#include "ui/kit/ViewController.h"

namespace oa {

class BranchViewController;
class LatestTaskRunner;
class TextField;

class AddReciverViewController : public ViewController,
                                 private TableViewDataSource,
                                 private TableViewDelegate {
    Q_OBJECT

public:
    using People = std::vector<std::shared_ptr<UserVO>>;
    using Callback = std::function<void(std::vector<std::shared_ptr<UserVO>>)>;
    static constexpr qreal kRowHeight = 62.2;

    explicit AddReciverViewController(QObject* parent = nullptr);
    ~AddReciverViewController() override;

    void userinfoCallBack(Callback block) { mBlock_ = std::move(block); }
    // The people already chosen on the screen that opens the picker: listed and ticked, so that
    // "确定" keeps them and anyone ticked joins them (each once); unticking one drops them.
    void setChosen(const People& people);

    // The people shown, and those chosen so far in choosing order.
    const People& list() const { return list_; }
    const People& user_arr() const { return user_arr_; }

    // Searches for `text`, one search at a time: a newer text replaces one still waiting, and
    // only the reply to the latest text is shown.
    void textFieldDidChange(const QString& text);
    // Whether a search runs or waits; a member request is out.
    bool isSearching() const;
    bool isAddingMembers() const { return membersOut_ > 0; }

    // Whether `person` is chosen: some chosen person has the same user_id.
    bool isAlreadyIn(const UserVO& person) const;
    // The tick of the shown row `row` changed.
    void clickToCheckIt(int row, bool checked);
    // "确定": the chosen people to the callback.
    void clickToSet();
    // "按部门选取": pushes a department screen whose "确定" adds the members of its choice.
    void clickToChoose();
    // Asks for the members of `depts` and adds them: a person already listed becomes ticked, a
    // new one is listed ticked, nobody is chosen twice.
    void postDeptInfo(const DeptBO::Depts& depts);

    TableView* tableView() const { return table_view_; }
    TextField* nameField() const { return name_txt_; }
    // The department screen that "按部门选取" opened last, while it lives.
    BranchViewController* branchScreen() const { return branch_; }

signals:
    // The list now shows the reply to the latest search.
    void searchShown();
    // The members of a department choice were added (or none came).
    void membersAdded();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

    void result(People people);
    void addMembers(const People& members);
    void choose(const std::shared_ptr<UserVO>& person);

    TextField* name_txt_ = nullptr;
    TableView* table_view_ = nullptr;
    People list_;
    People user_arr_;
    Callback mBlock_;
    QPointer<BranchViewController> branch_;
    std::unique_ptr<LatestTaskRunner> searches_;
    int membersOut_ = 0;
};

}  // namespace oa

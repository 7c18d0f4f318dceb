// BranchViewController: the department screen of the recipient picker. Lists the departments
// (filtered by the name typed in "输入部门名称"), lets the user tick any number of them, ticks
// every row shown with "全选", and hands the ticked departments, each once and in list order, to
// its callback with "确定". "  返回" leaves without calling it.
#pragma once

#include <QString>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/protocol/DeptBO.h"
#include "ui/kit/TableView.h"
#include "ui/kit/ViewController.h"

namespace oa {

class TextField;

class BranchViewController : public ViewController,
                             private TableViewDataSource,
                             private TableViewDelegate {
    Q_OBJECT

public:
    using Callback = std::function<void(const DeptBO::Depts&)>;
    static constexpr qreal kRowHeight = 44;

    explicit BranchViewController(QObject* parent = nullptr);
    ~BranchViewController() override;

    void callBack(Callback block) { aBlock_ = std::move(block); }

    // The departments as received, and the indexes of those shown under the filter.
    const DeptBO::Depts& dataAry() const { return dataAry_; }
    const std::vector<std::size_t>& shownRows() const { return shown_; }
    bool isLoading() const { return loading_; }

    // Shows the departments whose name holds `text` (all when it is empty).
    void setFilter(const QString& text);
    QString filter() const { return filter_; }

    // Whether the department at `index` of dataAry() is ticked. Ticks are kept per department
    // id, so they survive the filter.
    bool isChecked(std::size_t index) const;
    // A tick of the shown row `row` changed.
    void clickToCheck(int row, bool checked);
    // The bar buttons: "确定" hands on the ticked departments; anything else ("全选") ticks every
    // row shown.
    void clickToChoose(const QString& title);
    // The ticked departments in list order, each id once.
    DeptBO::Depts checkedDepts() const;

    TableView* tableView() const { return myTableView_; }
    TextField* filterField() const { return filterField_; }

signals:
    // The department list came back (possibly empty).
    void listLoaded();

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

    void postHttpJsonInfo();
    void listArrived(DeptBO::Depts depts);
    void applyFilter();
    std::string tickKey(std::size_t index) const;

    TableView* myTableView_ = nullptr;
    TextField* filterField_ = nullptr;
    DeptBO::Depts dataAry_;
    std::vector<std::size_t> shown_;
    // Ticked department ids; a department without an id is ticked by its index ("#<i>").
    std::set<std::string> checked_;
    QString filter_;
    Callback aBlock_;
    bool loading_ = false;
};

}  // namespace oa

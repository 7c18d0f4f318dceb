// UserView: the person search: a name field whose every edit searches the staff, and the list of
// the people found (name, role, department). Choosing one opens the person's card.
#pragma once

#include <memory>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/LookupNotifications.h"
#include "ui/controller/lookup/OtherBaseView.h"
#include "ui/kit/TableView.h"

namespace oa {

class TextField;

class UserView : public OtherBaseView, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    using People = UserSearchNotification::Object;

    explicit UserView(QWidget* parent = nullptr);
    ~UserView() override;

    void createView() override;

    // The shown people, in reply order.
    const People& list() const { return list_; }
    TextField* name_txt() const { return name_txt_; }
    TableView* table_view() const { return table_view_; }

    // Shows `people` in place of the list. Main thread only.
    void result(People people);
    // Searches the whole text of the field.
    void searchName();

    // The texts of a person's row: the name, the role as "(%@)" (left out when empty), and
    // "部门：%@".
    static QStringList firstLine(const UserVO& person);
    static QString secondLine(const UserVO& person);

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

signals:
    // The list shows a new result.
    void listChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TextField* name_txt_ = nullptr;
    TableView* table_view_ = nullptr;
    People list_;           // Main thread only.
    ObserverToken result_;  // reset first when the view goes
};

}  // namespace oa

// AddressView: the address-book search: a name field and an organisation field, searched when
// the return key is pressed in either (typing alone does not search), and the contacts found
// (group, name, sex, department). Choosing one opens the contact's card.
#pragma once

#include <memory>
#include <vector>

#include "core/platform/NotificationCenter.h"
#include "core/protocol/LookupNotifications.h"
#include "ui/controller/lookup/OtherBaseView.h"
#include "ui/kit/TableView.h"

namespace oa {

class TextField;

class AddressView : public OtherBaseView, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    using Contacts = AddressSearchNotification::Object;

    explicit AddressView(QWidget* parent = nullptr);
    ~AddressView() override;

    void createView() override;

    const Contacts& list() const { return list_; }
    TextField* name_txt() const { return name_txt_; }
    TextField* corp_txt() const { return corp_txt_; }
    TableView* table_view() const { return table_view_; }

    // Shows `contacts` in place of the list. Main thread only.
    void result(Contacts contacts);
    // The return key in either field: ends editing and searches both fields' texts.
    void textFieldShouldReturn();

    // The texts of a contact's row: group, name, the sex as "（%@）" (left out when empty), and
    // "部门：%@".
    static QStringList firstLine(const AddressVO& contact);
    static QString secondLine(const AddressVO& contact);

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

signals:
    void listChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TextField* name_txt_ = nullptr;
    TextField* corp_txt_ = nullptr;
    TableView* table_view_ = nullptr;
    Contacts list_;         // Main thread only.
    ObserverToken result_;  // reset first when the view goes
};

}  // namespace oa

// AddressDetailView: a contact's card from the address book: 22 labelled rows in a grouped table
// that scrolls, long values wrapping. The work phone, home phone and mobile can be called or
// texted.
#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include "core/protocol/DirectoryRecords.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/kit/TableView.h"

namespace oa {

class CallOrText;

class AddressDetailView : public DetailView, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kPoints = 16;
    static constexpr int kLabelWidth = 110;
    static constexpr int kValueWidth = 150;

    explicit AddressDetailView(QWidget* parent = nullptr);
    ~AddressDetailView() override;

    // `detail` is the contact's card (an AddressDetailVO); anything else leaves every row empty.
    void createView(const std::shared_ptr<BaseVO>& detail) override;

    // The row labels in order.
    static const QStringList& labels();
    // The value of the row `label`; absent for a missing value or an unknown label.
    Text valueOf(const QString& label) const;
    // Whether the row `label` holds a phone number.
    static bool isPhoneRow(const QString& label);

    TableView* table() const { return table_; }
    CallOrText* caller() const { return caller_; }
    // A tap on the row `label`: a phone row calls or texts its number; the others do nothing.
    void tapRow(const QString& label);

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TableView* table_ = nullptr;
    CallOrText* caller_;
    std::map<QString, Text> values_;
};

}  // namespace oa

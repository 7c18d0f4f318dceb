// UserDetailView: a person's card: the picture, name with sex, department, role, QQ, work phone,
// mobile, e-mail and signature, in a grouped table that scrolls when long values make it taller
// than the screen. The work phone and the mobile can be called or texted.
#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>

#include "core/protocol/DirectoryRecords.h"
#include "ui/controller/detail/DetailView.h"
#include "ui/kit/TableView.h"

namespace oa {

class CallOrText;

class UserDetailView : public DetailView, public TableViewDataSource, public TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kRows = 9;
    static constexpr int kWorkPhoneRow = 5;
    static constexpr int kMobileRow = 6;
    static constexpr int kLabelWidth = 100;
    static constexpr int kValueWidth = 180;
    static constexpr int kPoints = 18;

    explicit UserDetailView(QWidget* parent = nullptr);
    ~UserDetailView() override;

    // `detail` is the person's card (a UserVO, every field absent when the request failed); the
    // person chosen in the list is the previous record. Shows nothing without one.
    void createView(const std::shared_ptr<BaseVO>& detail) override;

    // The labels of rows 1 to 8.
    static const QStringList& titleAry();
    // The nine values in row order: avatar, name, department, role, QQ, work phone, mobile,
    // e-mail, signature; a missing value of the last seven is " ".
    const QStringList& dataAry() const { return dataAry_; }
    // The name as row 1 shows it: with "(男)" or "(女)".
    QString shownName() const;
    // "(男)", "(女)" or nothing: from `sex` ("0"/"男", "1"/"女"); when that is absent or
    // unreadable, from `avatar` ("0" a man, any other a woman); nothing without either.
    static QString sexSuffix(const UserVO& person);

    TableView* table() const { return table_; }
    CallOrText* caller() const { return caller_; }
    // A tap on row `row`: rows 5 and 6 call or text their number.
    void tapRow(int row);

    int numberOfSectionsInTableView(TableView* tableView) override;
    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    qreal heightForRowAtIndexPath(TableView* tableView, const IndexPath& path) override;
    void didSelectRowAtIndexPath(TableView* tableView, const IndexPath& path) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showAvatar();

    TableView* table_ = nullptr;
    CallOrText* caller_;
    std::shared_ptr<UserVO> card_;
    QStringList dataAry_;
    QPointer<QLabel> avatar_;
};

}  // namespace oa

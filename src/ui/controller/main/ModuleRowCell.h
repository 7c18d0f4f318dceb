// ModuleRowCell: the reusable cell of the module list: the divider line at the bottom, the
// disclosure indicator, and the module's row view drawing one record.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <memory>
#include <string_view>

#include "core/protocol/BaseVO.h"
#include "ui/controller/main/BaseView.h"
#include "ui/kit/TableViewCell.h"

namespace oa {

class ModuleRowCell : public TableViewCell {
    Q_OBJECT
public:
    // The reuse identifier of every row of the module list.
    static QString identifier() { return QStringLiteral("_CELL"); }

    explicit ModuleRowCell(QWidget* parent = nullptr);

    // Shows `record` in a new row view of the module `key`, in place of what the cell showed.
    // A null record, or a key without a row view, leaves the row empty. Returns the row view.
    BaseView* showRecord(std::string_view key, const std::shared_ptr<BaseVO>& record);
    // The row view showing now, or null.
    BaseView* rowView() const { return rowView_; }
    QLabel* divider() const { return divider_; }

protected:
    // The content spans the whole row, under the accessory, so that nothing near the right edge
    // is cut off where the accessory begins.
    void layoutSubviews() override;

private:
    QLabel* divider_;
    QWidget* chevron_;
    QPointer<BaseView> rowView_;
};

}  // namespace oa

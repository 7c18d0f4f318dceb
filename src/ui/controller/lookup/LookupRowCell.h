// LookupRowCell: the reusable row of the person and contact result lists: a first line of up to
// three texts side by side (the name first, in the dark grey of names), a grey second line, and
// the divider line ("dividerline.png") along the bottom. The labels are made once per cell and
// refilled on reuse.
#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "core/protocol/BaseVO.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"

namespace oa {

class RowLabel;

class LookupRowCell : public TableViewCell {
    Q_OBJECT
public:
    static QString identifier() { return QStringLiteral("lookupRow"); }
    // A row is 62.2 points high on the phone.
    static constexpr int kHeight = 62;
    static constexpr int kGap = 5;

    explicit LookupRowCell(QWidget* parent = nullptr);

    // A cell of `table` to reuse, or a new one.
    static LookupRowCell* dequeue(TableView* table);

    // Shows `first` (empty texts are left out, the others 5 points apart) over `second`.
    void setLines(const QStringList& first, const QString& second);
    // The first line's labels in order (hidden ones showed nothing) and the second line.
    RowLabel* firstLabel(int index) const { return first_.at(index); }
    RowLabel* secondLabel() const { return second_; }
    QLabel* divider() const { return divider_; }

protected:
    void layoutSubviews() override;

private:
    std::array<RowLabel*, 3> first_{};
    RowLabel* second_;
    QLabel* divider_;
};

// The cell of `list`'s row at `path`: the record's two lines, empty for a null record.
template <class Record>
TableViewCell* lookupRowCell(TableView* table, const std::vector<std::shared_ptr<Record>>& list,
                             const IndexPath& path, QStringList (*first)(const Record&),
                             QString (*second)(const Record&)) {
    LookupRowCell* cell = LookupRowCell::dequeue(table);
    const auto& record = list.at(std::size_t(path.row));
    if (record) {
        cell->setLines(first(*record), second(*record));
    } else {
        cell->setLines({}, {});
    }
    return cell;
}

// A tap on a result row: deselects it and gives its record, none for a row beyond `list`.
template <class Record>
std::shared_ptr<BaseVO> chosenLookupRecord(TableView* table,
                                           const std::vector<std::shared_ptr<Record>>& list,
                                           const IndexPath& path) {
    table->deselectRowAtIndexPath(path, true);
    if (path.row < 0 || std::size_t(path.row) >= list.size()) {
        return nullptr;
    }
    return list.at(std::size_t(path.row));
}

}  // namespace oa

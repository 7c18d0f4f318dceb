// LookupRowCell: the reusable row of the person and contact result lists: a first line of up to
// three texts side by side (the name first, in the dark grey of names), a grey second line, and
// the divider line ("dividerline.png") along the bottom. The labels are made once per cell and
// refilled on reuse.
#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>
#include <array>

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

}  // namespace oa

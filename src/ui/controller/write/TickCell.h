// TickCell: a row of the recipient picker's lists with a tick box at its right end
// ("uncheck.png" / "checked.png"). Only the user's taps on the box are reported.
#pragma once

#include "ui/kit/TableViewCell.h"

namespace oa {

class TickButton;

class TickCell : public TableViewCell {
    Q_OBJECT

public:
    static constexpr int kTickSize = 25;

    explicit TickCell(const QString& reuseIdentifier, QWidget* parent = nullptr);

    TickButton* tickBox() const { return tick_; }
    bool isTicked() const;
    // Shows the state without reporting it.
    void setTicked(bool ticked);

signals:
    void tickTapped(bool ticked);

private:
    TickButton* tick_;
};

}  // namespace oa

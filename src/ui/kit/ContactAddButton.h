// ContactAddButton: the round "+" button that adds people (the e-mail and group-message editors'
// recipient rows), drawn at 29 x 29 points in the tint colour, darker while pressed.
#pragma once

#include <QAbstractButton>

namespace oa {

class ContactAddButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QSize kSize{29, 29};

    explicit ContactAddButton(QWidget* parent = nullptr);

    QSize sizeHint() const override { return kSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace oa

// CheckBox: a two-state button drawn with one picture when off and another when on; a click
// flips it.
#pragma once

#include <QAbstractButton>

namespace oa {

class CheckBox : public QAbstractButton {
    Q_OBJECT
public:
    // Picture names as for image().
    CheckBox(const QString& offImage, const QString& onImage, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString offImage_;
    QString onImage_;
};

}  // namespace oa

// TickButton: a tick box drawn with one picture when clear and another when ticked (the rows of
// the recipient picker). A tap or Space flips it and tells `toggled`; setChecked from code does
// not, so a list that restores its ticks is not mistaken for the user's choice.
#pragma once

#include <QString>
#include <QWidget>

namespace oa {

class TickButton : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDefaultSize{30, 30};

    // Picture names as for image(). A picture that is missing is replaced by a drawn circle
    // (with a tick when ticked), so the state always shows.
    explicit TickButton(QWidget* parent = nullptr)
        : TickButton(QStringLiteral("uncheck.png"), QStringLiteral("checked.png"), parent) {}
    TickButton(QString uncheckedImage, QString checkedImage, QWidget* parent = nullptr);

    bool isChecked() const { return checked_; }
    // From code: changes the picture, emits nothing.
    void setChecked(bool checked);

    QSize sizeHint() const override { return kDefaultSize; }

signals:
    // The user's taps (and Space) only, with the new state.
    void toggled(bool checked);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void flip();

    QString uncheckedImage_;
    QString checkedImage_;
    bool checked_ = false;
    bool pressed_ = false;
};

}  // namespace oa

// Switch: an on/off control drawn as a sliding pill: blue with the knob at the right when on,
// light grey with the knob at the left when off.
#pragma once

#include <QAbstractButton>
#include <QPointer>

class QVariantAnimation;

namespace oa {

class Switch : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QSize kSize{79, 27};

    explicit Switch(QWidget* parent = nullptr);

    bool isOn() const { return isChecked(); }
    // Does not emit valueChanged (toggled, inherited, is emitted for every change).
    void setOn(bool on, bool animated = false);
    // Where the knob is drawn: 0 at the left (off), 1 at the right (on); between while sliding.
    qreal knobPosition() const { return knob_; }

    QSize sizeHint() const override { return kSize; }

signals:
    // The user changed the value (click, tap or key), as opposed to setOn.
    void valueChanged(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void nextCheckState() override;
    void checkStateSet() override;

private:
    void moveKnob(bool animated);

    qreal knob_ = 0;
    bool animateNext_ = false;
    QPointer<QVariantAnimation> slide_;
};

}  // namespace oa

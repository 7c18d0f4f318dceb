// LongPressButton: the "按住说话" (hold to talk) button. Held for 0.3 s it fires its long-press
// target; every release fires its release target, on the button or outside it, whether the
// long press came or not.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "core/platform/MainLoop.h"

namespace oa {

// One action of a LongPressButton: `action` runs while `target` lives.
struct TargetObject {
    QPointer<QObject> target;
    std::function<void()> action;
};

class LongPressButton : public QWidget {
    Q_OBJECT

public:
    static constexpr int kReleaseEvent = 2;
    static constexpr Duration kLongPressDelay{300};
    static constexpr int kFontSize = 15;

    LongPressButton(const QString& title, const QString& imageName, QWidget* parent = nullptr);
    ~LongPressButton() override;

    // Event kReleaseEvent sets the release target, any other event the long-press target; a
    // later call replaces the earlier target of the same kind.
    void addTarget(QObject* target, std::function<void()> action, int event);

    QString title() const { return title_; }
    QString imageName() const { return imageName_; }
    void setImageName(const QString& name);
    // Whether the button is down (pressed and not yet released).
    bool isHeld() const { return held_; }
    // Whether the current press has lasted long enough to count.
    bool isLongPressed() const { return longPressed_; }
    // A short white flash over the button: the cue that the recording starts.
    void flash();
    bool isFlashing() const { return flashing_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static void fire(const TargetObject& target);
    void cancelTimers();

    QString title_;
    QString imageName_;
    TargetObject longPressTarget_;
    TargetObject releaseTarget_;
    TimerHandle pressTimer_;
    TimerHandle flashTimer_;
    bool held_ = false;
    bool longPressed_ = false;
    bool flashing_ = false;
};

}  // namespace oa

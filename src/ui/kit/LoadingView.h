// LoadingView: the header above or the footer below a pull-to-refresh list, with an arrow or a
// spinner, a state text and the time of the last update.
#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>

class QLabel;

namespace oa {

class ActivityIndicatorView;
class PullArrow;

class LoadingView : public QWidget {
    Q_OBJECT
public:
    // The states; setState takes any integer, and values above kEnd are only stored.
    static constexpr int kNormal = 0;
    static constexpr int kPulling = 1;
    static constexpr int kLoading = 2;
    static constexpr int kEnd = 3;

    using Clock = std::function<QDateTime()>;

    LoadingView(bool atTop, QWidget* parent = nullptr);

    int state() const { return state_; }
    // Entering kNormal or kPulling shows only while the view is not loading (the state is
    // stored either way); kLoading always shows and sets the loading flag; kEnd shows on the
    // footer only. Asking for the current state does nothing. The arrow turns over 180 ms when
    // animated.
    void setState(int state, bool animated = true);
    bool isLoading() const { return loading_; }
    void setLoading(bool loading) { loading_ = loading; }
    bool isAtTop() const { return atTop_; }
    // Moves the labels and the arrow to the other edge and resets the arrow.
    void setAtTop(bool atTop);

    // Writes "最后更新: <date>" (see lastUpdateText) measured against the clock.
    void updateRefreshDate(const QDateTime& date);
    // The current time by default; tests set their own.
    void setClock(Clock clock);
    QDateTime now() const;

    // "最后更新: " and the date: "今天", "昨天" or "前天" and "HH:mm" when `date` lies on the
    // day of `now` or one or two calendar days before it (a later date counts as today, unless
    // it lies a month or more ahead), else "yyyy-MM-dd HH:mm".
    static QString lastUpdateText(const QDateTime& date, const QDateTime& now);

    QString stateText() const;
    QString dateText() const;
    // What the arrow shows: visible, turned by 180 degrees (pointing the other way).
    bool isArrowVisible() const;
    bool isArrowTurned() const;
    bool isSpinnerRunning() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layouts();
    void setStateText(const QString& text);

    bool atTop_;
    int state_ = kNormal;
    bool loading_ = false;
    QLabel* stateLabel_;
    QLabel* dateLabel_;
    PullArrow* arrow_;
    ActivityIndicatorView* activity_;
    Clock clock_;
};

}  // namespace oa

// WeatherDetailView: a city's forecast: today in a large card with the city's name, the
// following days in small cards below it, each with the weather icons of its two codes. The
// cards scroll when they are taller than the screen.
#pragma once

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "ui/controller/detail/DetailView.h"

namespace oa {

class AnimatedImageView;
class ScrollView;

class WeatherDetailView : public DetailView {
    Q_OBJECT
public:
    using Days = std::vector<std::shared_ptr<WeatherVO>>;

    static constexpr int kTodayY = 12;
    static constexpr int kTodayHeight = 130;
    static constexpr int kDayY = 156;
    static constexpr int kDayStep = 76;
    static constexpr int kDayHeight = 68;
    static constexpr int kCardWidth = 296;

    explicit WeatherDetailView(QWidget* parent = nullptr);

    // The days to show, today first; set before createView.
    void setDays(Days days) { list_vo_ = std::move(days); }
    const Days& list_vo() const { return list_vo_; }

    void createView(const std::shared_ptr<BaseVO>& detail) override;

    // "a0.gif" ... "a31.gif" and "b0.gif" ... "b31.gif".
    static const QStringList& big_array();
    static const QStringList& small_array();
    // The icon code of an "img1"/"img2" value: its leading integer when that is 0 to 31; none
    // for a missing or empty value, text without leading digits, or a code out of range.
    static std::optional<int> iconCode(const Text& value);

    ScrollView* scroll() const { return scroll_; }
    // The cards in order, today's first.
    const QList<QWidget*>& cards() const { return cards_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* todayCard(const WeatherVO& day);
    QWidget* dayCard(const WeatherVO& day);
    // The icon of `value` from `names` at `frame` in `card`; none without a code.
    void addIcon(QWidget* card, const Text& value, const QStringList& names, const QRect& frame,
                 const char* name);

    Days list_vo_;
    ScrollView* scroll_ = nullptr;
    QList<QWidget*> cards_;
};

}  // namespace oa

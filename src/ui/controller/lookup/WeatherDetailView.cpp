// WeatherDetailView: the cards, their icons, and a content as tall as the cards.
#include "ui/controller/lookup/WeatherDetailView.h"

#include <QFontMetrics>
#include <QLabel>

#include "ui/controller/lookup/LookupText.h"
#include "ui/kit/AnimatedImageView.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/ScrollView.h"

namespace oa {

namespace {

constexpr int kIconCount = 32;
constexpr int kLeft = 12;

// A scroll view whose content is as tall as the cards on it.
class ForecastScroll : public ScrollView {
public:
    using ScrollView::ScrollView;
    void fitContent(qreal height) { setContentHeight(height); }
};

QStringList iconNames(const char* prefix) {
    QStringList names;
    for (int i = 0; i < kIconCount; ++i) {
        names << QStringLiteral("%1%2.gif").arg(QLatin1String(prefix)).arg(i);
    }
    return names;
}

QWidget* card(const QString& name, int height) {
    auto* box = new QWidget;
    box->setObjectName(name);
    box->setAttribute(Qt::WA_StyledBackground);
    box->setStyleSheet(QStringLiteral("QWidget#%1 { background: #FCFCFC; border: 1px solid "
                                      "#B4B4B4; border-radius: 5px; }")
                           .arg(name));
    box->resize(WeatherDetailView::kCardWidth, height);
    return box;
}

QLabel* text(QWidget* parent, const char* name, const QString& value, int points,
             const QRect& frame, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(value);
    // "℃" is blank in the Chinese default font. A text wider than its place ("-12℃~-3℃" in
    // the wider fallback font) gets a smaller size instead of losing its ends.
    QFont font = fontForText(systemFont(points), value);
    while (font.pixelSize() > 10 && QFontMetrics(font).horizontalAdvance(value) > frame.width()) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    label->setFont(font);
    label->setAlignment(align);
    label->setGeometry(frame);
    return label;
}

}  // namespace

WeatherDetailView::WeatherDetailView(QWidget* parent) : DetailView(parent) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xED, 0xED, 0xED));
    setPalette(palette);
}

const QStringList& WeatherDetailView::big_array() {
    static const QStringList names = iconNames("a");
    return names;
}

const QStringList& WeatherDetailView::small_array() {
    static const QStringList names = iconNames("b");
    return names;
}

std::optional<int> WeatherDetailView::iconCode(const Text& value) {
    if (!value) {
        return std::nullopt;
    }
    const std::string& textValue = *value;
    std::size_t i = 0;
    while (i < textValue.size() && (textValue[i] == ' ' || textValue[i] == '\t')) {
        ++i;
    }
    int code = 0;
    bool digits = false;
    for (; i < textValue.size() && textValue[i] >= '0' && textValue[i] <= '9'; ++i) {
        digits = true;
        code = code * 10 + (textValue[i] - '0');
        if (code >= kIconCount) {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    return code;
}

void WeatherDetailView::createView(const std::shared_ptr<BaseVO>&) {
    auto* scroll = new ForecastScroll(this);
    scroll->setObjectName(QStringLiteral("forecast"));
    scroll->setGeometry(rect());
    scroll_ = scroll;
    if (!list_vo_.empty()) {
        int bottom = 0;
        for (std::size_t i = 0; i < list_vo_.size(); ++i) {
            const WeatherVO empty;
            const WeatherVO& day = list_vo_[i] ? *list_vo_[i] : empty;
            QWidget* box = i == 0 ? todayCard(day) : dayCard(day);
            const int y = i == 0 ? kTodayY : kDayY + int(i - 1) * kDayStep;
            scroll->addContentSubview(box, QRectF(kLeft, y, box->width(), box->height()));
            cards_.append(box);
            bottom = y + box->height();
        }
        scroll->fitContent(bottom + kLeft);
    }
    scroll->show();
    if (list_vo_.empty()) {
        showNothingFound();
    }
}

void WeatherDetailView::resizeEvent(QResizeEvent* event) {
    DetailView::resizeEvent(event);
    if (scroll_) {
        scroll_->setGeometry(rect());
    }
}

QWidget* WeatherDetailView::todayCard(const WeatherVO& day) {
    QWidget* box = card(QStringLiteral("today"), kTodayHeight);
    text(box, "city", shownText(city_name()), 30, QRect(0, 4, kCardWidth, 36), Qt::AlignCenter);
    text(box, "weather", shownText(day.weather) + QStringLiteral("  ") + shownText(day.wind), 14,
         QRect(0, 40, kCardWidth, 20), Qt::AlignCenter);
    addIcon(box, day.img1, big_array(), QRect(40, 62, 75, 60), "icon1");
    addIcon(box, day.img2, big_array(), QRect(115, 62, 75, 60), "icon2");
    text(box, "temperature", shownText(day.temperature), 20, QRect(192, 62, 100, 60),
         Qt::AlignCenter);
    return box;
}

QWidget* WeatherDetailView::dayCard(const WeatherVO& day) {
    QWidget* box = card(QStringLiteral("day"), kDayHeight);
    text(box, "date", shownText(day.date), 14, QRect(8, 8, 110, 24));
    text(box, "wind", shownText(day.wind), 14, QRect(8, 36, 110, 24));
    addIcon(box, day.img1, small_array(), QRect(124, 24, 20, 20), "icon1");
    addIcon(box, day.img2, small_array(), QRect(150, 24, 20, 20), "icon2");
    text(box, "weather", shownText(day.weather), 14, QRect(180, 8, 110, 24));
    text(box, "temperature", shownText(day.temperature), 14, QRect(180, 36, 110, 24));
    return box;
}

void WeatherDetailView::addIcon(QWidget* box, const Text& value, const QStringList& names,
                                const QRect& frame, const char* name) {
    const std::optional<int> code = iconCode(value);
    if (!code) {
        return;
    }
    auto* icon = new AnimatedImageView(box);
    icon->setObjectName(QString::fromLatin1(name));
    icon->setGeometry(frame);
    icon->setImageName(names.at(*code));
}

}  // namespace oa

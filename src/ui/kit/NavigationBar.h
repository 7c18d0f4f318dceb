// NavigationBar: the 44-point bar above a navigation stack: background image, centred title (or
// title view), left and right items.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace oa {

class NavigationBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 44;
    // Distance of the left and right items from the bar's edges.
    static constexpr int kItemMargin = 5;

    explicit NavigationBar(QWidget* parent = nullptr);

    // Drawn stretched over the whole bar; without one the bar draws a plain gradient.
    void setBackgroundImage(const QPixmap& image);
    QPixmap backgroundImage() const { return background_; }

    // What the bar shows. The widgets stay owned by their controller: the bar only parents,
    // places and shows them, and hides the previous ones.
    void setItems(const QString& title, QWidget* titleView, QWidget* left, QWidget* right);
    QString title() const { return title_; }
    QWidget* titleView() const { return titleView_; }
    QWidget* leftItem() const { return left_; }
    QWidget* rightItem() const { return right_; }

    // The bar's own back button, shown as the left item when a pushed screen has none.
    QPushButton* backButton() const { return backButton_; }
    void setBackButtonTitle(const QString& title);

    // Where the title text is drawn: centred on the bar, moved aside or shortened when an item
    // would cover it.
    QRect titleRect() const;

    QSize sizeHint() const override { return {320, kHeight}; }

signals:
    void backRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutItems();
    static QSize itemSize(QWidget* item);

    QPixmap background_;
    QString title_;
    QPointer<QWidget> titleView_;
    QPointer<QWidget> left_;
    QPointer<QWidget> right_;
    QPushButton* backButton_;
};

}  // namespace oa

// LeveyPopListView: a pop-up list over the window: a dimmed background and a dark panel with a
// title and entries of an icon and a text. Choosing an entry or tapping outside the panel
// closes it and tells the delegate which (or that nothing was chosen).
#pragma once

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace oa {

class LeveyPopListView;
class TableView;

class LeveyPopListViewDelegate {
public:
    virtual ~LeveyPopListViewDelegate() = default;
    virtual void leveyPopListView(LeveyPopListView* popListView, int index) = 0;
    virtual void leveyPopListViewDidCancel() {}
};

class LeveyPopListView : public QWidget {
    Q_OBJECT
public:
    struct Option {
        QPixmap icon;  // may be null
        QString text;
    };

    static constexpr int kPanelWidth = 280;
    static constexpr int kTitleHeight = 44;
    static constexpr int kRowHeight = 44;

    LeveyPopListView(QString title, QList<Option> options, QWidget* parent = nullptr);
    ~LeveyPopListView() override;

    QString title() const { return title_; }
    QList<Option> options() const { return options_; }

    // Not owned; it must outlive the list or be cleared first.
    LeveyPopListViewDelegate* delegate() const { return delegate_; }
    void setDelegate(LeveyPopListViewDelegate* delegate) { delegate_ = delegate; }

    // Covers `view` (normally the window) and fades in. The list deletes itself once it has
    // closed.
    void showInView(QWidget* view, bool animated);
    // Closes without telling anyone.
    void fadeOut();
    // The panel's rectangle and the rectangle of entry `index`, in the list's coordinates.
    QRect panelRect() const;
    QRect optionRect(int index) const;
    // Chooses entry `index` as a tap would; out of range does nothing.
    void select(int index);
    // Closes as a tap outside the panel would.
    void cancel();

signals:
    void didSelect(int index);
    void didCancel();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Rows;

    void layoutPanel();

    QString title_;
    QList<Option> options_;
    LeveyPopListViewDelegate* delegate_ = nullptr;
    TableView* table_;
    Rows* rows_;
    bool closing_ = false;
    bool pressedOutside_ = false;
};

}  // namespace oa

// TableViewCell: one row of a TableView: a content view with optional text, detail text and
// image, an accessory at the right, and the look of selection and of grouped sections.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace oa {

class TableViewCell : public QWidget {
    Q_OBJECT
public:
    // Where the built-in labels go: Default has a text only; Value1 puts the detail at the right
    // in blue-grey; Value2 a small blue text label before a bold detail; Subtitle the detail
    // under the text in grey.
    enum class Style { Default, Value1, Value2, Subtitle };
    enum class SelectionStyle { None, Blue, Gray };
    enum class AccessoryType { None, DisclosureIndicator, Checkmark };
    // The cell's place in a grouped section, which decides its rounded corners. Plain tables
    // use None.
    enum class GroupPosition { None, Single, Top, Middle, Bottom };

    // Margin between a grouped section's rounded background and the table's edges.
    static constexpr int kGroupMargin = 10;

    // A cell with an empty identifier is never reused: the table deletes it when it scrolls
    // out of sight.
    explicit TableViewCell(Style style = Style::Default, QString reuseIdentifier = {},
                           QWidget* parent = nullptr);
    ~TableViewCell() override;

    Style style() const { return style_; }
    QString reuseIdentifier() const { return reuseIdentifier_; }

    // The area between the left edge (or the grouped background's) and the accessory. Custom
    // row content goes here; it is transparent, so the cell's background and selection show
    // through.
    QWidget* contentView() const { return contentView_; }
    // The built-in parts, created inside the content view on first use and laid out by style.
    QLabel* textLabel();
    QLabel* detailTextLabel();
    QLabel* imageView();
    // Deletes everything in the content view, the built-in parts included (they are created
    // afresh when asked for again).
    void removeContentSubviews();

    AccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(AccessoryType type);
    // A widget shown instead of the accessory type; owned by the cell. nullptr removes it.
    QWidget* accessoryView() const { return accessoryView_; }
    void setAccessoryView(QWidget* view);

    SelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(SelectionStyle style);
    bool isSelected() const { return selected_; }
    void setSelected(bool selected, bool animated = false);
    // Highlighted while a finger (the mouse) is down on the row.
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted, bool animated = false);

    // Fill behind the content; transparent lets the table's background show.
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& colour);

    GroupPosition groupPosition() const { return groupPosition_; }
    // Set by the table when it places the cell.
    void setGroupPosition(GroupPosition position);
    // Line along the bottom edge; an invalid colour draws none. Set by the table.
    void setSeparatorColor(const QColor& colour);

    // Lays the parts out again, for instance after an image or a text changed size. The table
    // calls it whenever a data source hands it a cell.
    void setNeedsLayout() { layoutSubviews(); }

    // Called by the table just before it hands the cell out again for another row; the base
    // clears the selection and highlight state. Overrides call the base.
    virtual void prepareForReuse();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Places the content view, the built-in labels and the accessory. Overrides call the base.
    virtual void layoutSubviews();

private:
    QRectF backgroundRect() const;
    void applyLabelColours();
    int accessoryWidth() const;

    Style style_;
    QString reuseIdentifier_;
    QWidget* contentView_;
    QPointer<QLabel> textLabel_;
    QPointer<QLabel> detailTextLabel_;
    QPointer<QLabel> imageView_;
    AccessoryType accessoryType_ = AccessoryType::None;
    QPointer<QWidget> accessoryView_;
    SelectionStyle selectionStyle_ = SelectionStyle::Blue;
    bool selected_ = false;
    bool highlighted_ = false;
    QColor background_ = Qt::white;
    GroupPosition groupPosition_ = GroupPosition::None;
    QColor separator_;
};

}  // namespace oa

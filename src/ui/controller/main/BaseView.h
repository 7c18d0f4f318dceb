// BaseView: the base of the row views of the module lists (and of the detail views): a 320-point
// wide view that draws one record, with the helpers the row views share (labels, marks, the
// unread background, colours sent as text).
#pragma once

#include <QColor>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <memory>

#include "core/protocol/BaseVO.h"

namespace oa {

class RowLabel;

class BaseView : public QWidget {
    Q_OBJECT
public:
    // A row is 61.2 points high on the phone; whole points here.
    static constexpr int kRowWidth = 320;
    static constexpr int kRowHeight = 61;

    static QColor grey() { return {127, 127, 127}; }
    static QColor darkGrey() { return {51, 51, 51}; }
    static QColor unreadBackground() { return {251, 230, 133}; }
    // The attachment mark's frame: clear of the cell's chevron, which begins at x 290.
    static QRect attachmentMarkFrame() { return {262, 20, 20, 20}; }
    // Where the texts of a row with the mark end.
    static constexpr int kTextRight = 258;
    // Between the texts of one line.
    static constexpr int kTextGap = 8;

    explicit BaseView(QWidget* parent = nullptr);

    // Draws `record`, replacing whatever the view showed. The base draws nothing; a subclass
    // draws only a record of its own class, and nothing for any other (or null).
    virtual void createView(const std::shared_ptr<BaseVO>& record);

    const Text& q_id() const { return q_id_; }
    void setQ_id(Text value) { q_id_ = std::move(value); }
    const Text& previousObj() const { return previousObj_; }
    void setPreviousObj(Text value) { previousObj_ = std::move(value); }
    const Text& city_name() const { return city_name_; }
    void setCity_name(Text value) { city_name_ = std::move(value); }

    // Fill behind the labels; transparent by default.
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& colour);

    // The colour of a text field that holds hexadecimal RGB; a leading "#" is removed from the
    // field itself first, so the record keeps the bare digits.
    static QColor colorFromRecordField(Text& field);
    // Whether a text is present and not the empty text.
    static bool hasText(const Text& text) { return text && !text->empty(); }

protected:
    void paintEvent(QPaintEvent* event) override;

    // Deletes the labels and images of the record drawn before and clears the background.
    void clearView();
    // A label named `name` (its object name) at `frame` in the system font of `points`.
    RowLabel* addLabel(const char* name, const QRect& frame, int points, const QColor& colour,
                       const QString& text);
    RowLabel* addLabel(const char* name, const QRect& frame, int points, const QColor& colour,
                       const Text& text);
    // The image resource `name` (type "png"): at `frame` scaled to it, or at the frame's origin
    // in its own size when the frame's size is empty. The label's object name is `name`.
    QLabel* addImage(const QString& name, const QRect& frame);
    // The unread background when `read_flag` is "0", otherwise transparent.
    void setReadState(const Text& read_flag);
    // The paper-clip image at attachmentMarkFrame() when `has_attachment` is "1".
    void addAttachmentMark(const Text& has_attachment);
    // Lays `labels` (sender first, then time and the like) out from the first one's x on its
    // line, each as wide as its text and kTextGap apart, up to `right`: the sender gets what
    // the others leave, so that a long address shows as much as there is room for.
    static void fitLine(std::initializer_list<RowLabel*> labels, int right = kTextRight);

private:
    Text q_id_;
    Text previousObj_;
    Text city_name_;
    QColor background_{Qt::transparent};
};

}  // namespace oa

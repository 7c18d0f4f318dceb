// UIExpandingTextView: measures its document after every change and reports the height it needs.
#include "ui/controller/message/UIExpandingTextView.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QTextBlock>
#include <algorithm>
#include <cmath>

#include "ui/kit/Fonts.h"

namespace oa {

UIExpandingTextView::UIExpandingTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(systemFont(kFontSize));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    document()->setDocumentMargin(2);
    // Tab leaves for the send button and the rest of the dialog; a message has no tab stops.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &UIExpandingTextView::updateHeight);
}

int UIExpandingTextView::fittingHeight() const {
    // The laid-out height of every visual line: whole-point line spacings add up to less than
    // the document's fractional lines, and the field would scroll by a pixel at three lines.
    int lines = 0;
    qreal content = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
        content += blockBoundingRect(block).height();
    }
    const qreal lineHeight = QFontMetricsF(font()).lineSpacing();
    content = std::max(content, kMinimumLines * lineHeight);
    if (lines > kMaximumLines) {
        content = content * kMaximumLines / lines;
    }
    const qreal margins = document()->documentMargin() * 2 + frameWidth() * 2;
    return static_cast<int>(std::ceil(content + margins));
}

void UIExpandingTextView::updateHeight() {
    const int height = fittingHeight();
    if (height != lastHeight_) {
        lastHeight_ = height;
        emit heightChangeRequested(height);
    }
}

void UIExpandingTextView::keyPressEvent(QKeyEvent* event) {
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && (event->modifiers() & Qt::ControlModifier)) {
        emit sendRequested();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace oa

// UIExpandingTextView: measures its document after every change and reports the height it needs.
#include "ui/controller/message/UIExpandingTextView.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <algorithm>

#include "ui/kit/Fonts.h"

namespace oa {

UIExpandingTextView::UIExpandingTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(systemFont(kFontSize));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    document()->setDocumentMargin(2);
    connect(this, &QPlainTextEdit::textChanged, this, &UIExpandingTextView::updateHeight);
}

int UIExpandingTextView::fittingHeight() const {
    // Visual lines: every block's wrapped line count.
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    }
    lines = std::clamp(lines, kMinimumLines, kMaximumLines);
    const int margins = static_cast<int>(document()->documentMargin() * 2) + frameWidth() * 2;
    return lines * fontMetrics().lineSpacing() + margins;
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

// PlaceholderView: a centred heading and details on a light background.
#include "ui/controller/main/PlaceholderView.h"

#include "ui/kit/Fonts.h"

namespace oa {

PlaceholderView::PlaceholderView(const QString& heading, const QStringList& details,
                                 QWidget* parent)
    : QLabel(parent), heading_(heading), details_(details) {
    setObjectName(QStringLiteral("placeholder"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setFont(systemFont(14));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("QLabel { background: #eef2f7; color: #52606d; padding: 16px; }"));
    QString html = QStringLiteral("<p style='font-size:20px; color:#2b3d52'><b>%1</b></p>")
                       .arg(heading.toHtmlEscaped());
    for (const QString& line : details) {
        html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    }
    setText(html);
}

}  // namespace oa

// SubmitFailureText: the server's explanation made fit for the progress indicator.
#include "ui/controller/write/SubmitFailureText.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace oa {

namespace {

// Longer explanations are cut, so that the notice stays short.
constexpr qsizetype kMaxReasonLength = 60;

QString cleaned(const std::string& excerpt) {
    // An error page may come as HTML: its text only, entities decoded; all on one line.
    QString text = QString::fromStdString(excerpt);
    if (Qt::mightBeRichText(text)) {
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    }
    text = text.simplified();
    static const QRegularExpression label(QStringLiteral("^error\\s*:\\s*"),
                                          QRegularExpression::CaseInsensitiveOption);
    return text.remove(label);
}

}  // namespace

QString submitFailureText(bool saves, const std::optional<ExchangeFailure>& failure) {
    const QString failed = saves ? QStringLiteral("保存失败") : QStringLiteral("发送失败");
    if (!failure) {
        return failed;
    }
    if (failure->timedOut()) {
        return saves ? QStringLiteral("网络超时，请稍后在列表中确认是否已保存")
                     : QStringLiteral("网络超时，请稍后在列表中确认是否已发送");
    }
    QString reason;
    if (failure->error) {
        reason = QString::fromStdString(failure->error->description);
    } else {
        reason = cleaned(failure->excerpt);
        if (reason.isEmpty()) {
            reason = QStringLiteral("HTTP %1").arg(failure->status);
        }
    }
    if (reason.size() > kMaxReasonLength) {
        reason = reason.left(kMaxReasonLength - 1) + QChar(0x2026);
    }
    return failed + QStringLiteral("：") + reason;
}

}  // namespace oa

// CallOrText: the phone rule, the sheet, and the clipboard when nothing opens the address.
#include "ui/controller/lookup/CallOrText.h"

#include <QClipboard>
#include <QGuiApplication>

#include "ui/kit/ProgressHUD.h"
#include "ui/platform/UrlOpener.h"

namespace oa {

namespace {

QString dialable(const QString& number) {
    QString digits = number;
    digits.remove(QLatin1Char(' '));
    digits.remove(QLatin1Char('-'));
    return digits;
}

QUrl addressOf(const QString& scheme, const QString& number) {
    // Set as a path: "tel://12345" would make the number a host name.
    QUrl url;
    url.setScheme(scheme);
    url.setPath(dialable(number));
    return url;
}

}  // namespace

CallOrText::Action CallOrText::actionFor(const Text& value) {
    if (!value) {
        return Action::Nothing;
    }
    const QString number = QString::fromStdString(*value);
    if (number.size() < 2) {
        return Action::Nothing;
    }
    if (number.size() == 11 && number.startsWith(QLatin1Char('1'))) {
        return Action::Choose;
    }
    return Action::Dial;
}

QUrl CallOrText::callUrl(const QString& number) {
    return addressOf(QStringLiteral("tel"), number);
}

QUrl CallOrText::textUrl(const QString& number) {
    return addressOf(QStringLiteral("sms"), number);
}

CallOrText::CallOrText(QWidget* sheetHost, QObject* parent)
    : QObject(parent), sheetHost_(sheetHost) {}

void CallOrText::choose(const Text& value) {
    const QString number = QString::fromStdString(value.value_or(std::string()));
    switch (actionFor(value)) {
        case Action::Nothing:
            return;
        case Action::Dial:
            open(callUrl(number), number, cannotCallText());
            return;
        case Action::Choose:
            // One sheet at a time; one that is sliding away no longer counts.
            if ((sheet_ && !sheet_->isClosing()) || !sheetHost_) {
                return;
            }
            tel_ = number;
            sheet_ = new ActionSheet(QString(), this, QStringLiteral("取消"), QString(),
                                     {QStringLiteral("拨打电话"), QStringLiteral("发送短信")});
            sheet_->setObjectName(QStringLiteral("phoneSheet"));
            sheet_->showInView(sheetHost_->window());
            return;
    }
}

void CallOrText::actionSheet(ActionSheet*, int buttonIndex) {
    if (buttonIndex == kCallIndex) {
        open(callUrl(tel_), tel_, cannotCallText());
    } else if (buttonIndex == kTextIndex) {
        open(textUrl(tel_), tel_, cannotTextText());
    }
}

void CallOrText::open(const QUrl& url, const QString& shown, const QString& failureText) {
    const QPointer<CallOrText> guard(this);
    UrlOpener::current()->open(url, [guard, url, shown, failureText](bool opened) {
        if (!opened) {
            // The user can still paste the number where it can be used.
            QGuiApplication::clipboard()->setText(shown);
            ProgressHUD::showErrorWithStatus(failureText);
        }
        if (guard) {
            emit guard->finished(url, opened);
        }
    });
}

}  // namespace oa

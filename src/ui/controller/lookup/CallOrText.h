// CallOrText: what a tap on a phone number of a person's or a contact's card does. A value under
// two characters does nothing; a mobile number (11 characters starting with "1") offers
// "拨打电话" and "发送短信" in an action sheet; any other number is dialled at once. Where the
// desktop cannot open the address (UrlOpener::current()), the number goes to the clipboard with a
// message saying so.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include "core/protocol/BaseVO.h"
#include "ui/kit/ActionSheet.h"

namespace oa {

class CallOrText : public QObject, public ActionSheetDelegate {
    Q_OBJECT
public:
    enum class Action { Nothing, Choose, Dial };

    static constexpr int kCallIndex = 0;
    static constexpr int kTextIndex = 1;

    // What a tap on `value` does.
    static Action actionFor(const Text& value);
    // "tel:" / "sms:" and the number without spaces and "-".
    static QUrl callUrl(const QString& number);
    static QUrl textUrl(const QString& number);
    static QString cannotCallText() { return QStringLiteral("本机无法拨打电话，号码已复制"); }
    static QString cannotTextText() { return QStringLiteral("本机无法发送短信，号码已复制"); }

    // `sheetHost` is the widget the action sheet covers (the window).
    explicit CallOrText(QWidget* sheetHost, QObject* parent = nullptr);

    // A tap on a phone row showing `value`.
    void choose(const Text& value);
    // The mobile number the sheet was shown for.
    const QString& tel() const { return tel_; }
    // The sheet while it shows; null otherwise.
    ActionSheet* sheet() const { return sheet_; }

    void actionSheet(ActionSheet* actionSheet, int buttonIndex) override;

signals:
    // An address was handed to the opener, and whether it opened.
    void finished(const QUrl& url, bool opened);

private:
    void open(const QUrl& url, const QString& shown, const QString& failureText);

    QPointer<QWidget> sheetHost_;
    QPointer<ActionSheet> sheet_;
    QString tel_;
};

}  // namespace oa

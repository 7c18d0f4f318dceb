// SmsView: the reminder page of the main index. For now an empty page that keeps the index's
// hooks: its delegate and the table it builds once sized.
#pragma once

#include <QWidget>

namespace oa {

class SmsViewdelegate;

class SmsView : public QWidget {
    Q_OBJECT
public:
    // initWithView.
    explicit SmsView(QWidget* parent = nullptr);

    // The main index; not owned.
    SmsViewdelegate* sms_delegate() const { return sms_delegate_; }
    void setSms_delegate(SmsViewdelegate* delegate) { sms_delegate_ = delegate; }

    // Called by the main index once it has sized the page.
    void createTableView();

private:
    SmsViewdelegate* sms_delegate_ = nullptr;
};

}  // namespace oa

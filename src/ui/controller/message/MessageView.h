// MessageView: the conversation page of the main index. For now an empty page that keeps the
// index's hooks: its delegate and the table it builds once sized.
#pragma once

#include <QWidget>

namespace oa {

class MessageService;

class MessageView : public QWidget {
    Q_OBJECT
public:
    // initWithView.
    explicit MessageView(QWidget* parent = nullptr);

    // The main index; not owned.
    MessageService* message_delegate() const { return message_delegate_; }
    void setMessage_delegate(MessageService* delegate) { message_delegate_ = delegate; }

    // Called by the main index once it has sized the page.
    void createTableView();

private:
    MessageService* message_delegate_ = nullptr;
};

}  // namespace oa

// AttachmentViewController: shows an attachment or a server page in a web view. For now it
// names what it was opened with.
#pragma once

#include <string>

#include "ui/kit/ViewController.h"

namespace oa {

class AttachmentViewController : public ViewController {
    Q_OBJECT
public:
    explicit AttachmentViewController(QObject* parent = nullptr);

    int attachmentCategory() const { return attachmentCategory_; }
    void setAttachmentCategory(int category) { attachmentCategory_ = category; }
    const std::string& attachmentURL() const { return attachmentURL_; }
    void setAttachmentURL(const std::string& address) { attachmentURL_ = address; }

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    int attachmentCategory_ = 0;
    std::string attachmentURL_;
};

}  // namespace oa

// WorkflowController: the server's workflow page over the whole window, presented over the main
// index. For now it names the page it will show and offers the page's way back to the index.
#pragma once

#include <string>

#include "ui/kit/ViewController.h"

namespace oa {

class WorkflowController : public ViewController {
    Q_OBJECT
public:
    explicit WorkflowController(QObject* parent = nullptr);

    // "<oa>/mobile/workflow/?P=<session id>" of the current session.
    static std::string workflowAddress();
    // What the page's "返回主界面" link does: closes the page.
    void backToMain();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
};

}  // namespace oa

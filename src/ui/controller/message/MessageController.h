// MessageController: the dialog with one person, opened from the conversation list with the
// person's id and name. For now it shows whom it was opened for.
#pragma once

#include <string>

#include "ui/kit/ViewController.h"

namespace oa {

class MessageController : public ViewController {
    Q_OBJECT
public:
    explicit MessageController(QObject* parent = nullptr);

    const std::string& q_id() const { return q_id_; }
    void setQ_id(const std::string& id) { q_id_ = id; }
    const std::string& q_name() const { return q_name_; }
    void setQ_name(const std::string& name);

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    std::string q_id_;
    std::string q_name_;
};

}  // namespace oa

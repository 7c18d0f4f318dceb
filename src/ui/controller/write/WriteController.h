// WriteController: the write screen that hosts one editor chosen by module key ("diary",
// "email", "message", "calendar"). For now it shows which editor it was opened for.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/DirectoryRecords.h"
#include "ui/kit/ViewController.h"

namespace oa {

class WriteController : public ViewController {
    Q_OBJECT
public:
    explicit WriteController(QObject* parent = nullptr);

    const std::string& func_type() const { return func_type_; }
    void setFunc_type(const std::string& key) { func_type_ = key; }
    // The people the screen opens addressed to (a reply's sender, say).
    const std::vector<std::shared_ptr<UserVO>>& userAry() const { return userAry_; }
    void setUserAry(std::vector<std::shared_ptr<UserVO>> people) { userAry_ = std::move(people); }

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    std::string func_type_;
    std::vector<std::shared_ptr<UserVO>> userAry_;
};

}  // namespace oa

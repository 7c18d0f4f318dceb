// OtherFuncController: the host screen of the directory lookups (address book, area codes,
// staff search, weather), opened with a module key and a title. For now it shows what it was
// opened with.
#pragma once

#include <string>

#include "ui/kit/ViewController.h"

namespace oa {

class OtherFuncController : public ViewController {
    Q_OBJECT
public:
    explicit OtherFuncController(QObject* parent = nullptr);

    const std::string& func_type() const { return func_type_; }
    void setFunc_type(const std::string& key) { func_type_ = key; }
    const std::string& func_title() const { return func_title_; }
    void setFunc_title(const std::string& title) { func_title_ = title; }

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    std::string func_type_;
    std::string func_title_;
};

}  // namespace oa

// LoginController: the sign-in screen at the root of the navigation stack. For now it shows only
// its title under the bar image; the form comes with the sign-in sequence.
#pragma once

#include "ui/kit/ViewController.h"

namespace oa {

class LoginController : public ViewController {
    Q_OBJECT
public:
    explicit LoginController(QObject* parent = nullptr);

protected:
    void loadView() override;
};

}  // namespace oa

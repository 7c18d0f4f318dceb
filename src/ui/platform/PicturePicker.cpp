// PicturePicker: the picker in use, made on first use.
#include "ui/platform/PicturePicker.h"

#include "ui/platform/DesktopPicturePicker.h"

namespace oa {

namespace {
std::shared_ptr<PicturePicker>& installed() {
    static std::shared_ptr<PicturePicker> picker;
    return picker;
}
}  // namespace

PicturePicker::~PicturePicker() = default;

std::shared_ptr<PicturePicker> PicturePicker::current() {
    if (!installed()) {
        installed() = std::make_shared<DesktopPicturePicker>();
    }
    return installed();
}

void PicturePicker::setCurrent(std::shared_ptr<PicturePicker> picker) {
    installed() = std::move(picker);
}

}  // namespace oa

// UrlOpener: the opener in use, made on first use.
#include "ui/platform/UrlOpener.h"

#include "ui/platform/DesktopUrlOpener.h"

namespace oa {

namespace {
std::shared_ptr<UrlOpener>& installed() {
    static std::shared_ptr<UrlOpener> opener;
    return opener;
}
}  // namespace

UrlOpener::~UrlOpener() = default;

std::shared_ptr<UrlOpener> UrlOpener::current() {
    if (!installed()) {
        installed() = std::make_shared<DesktopUrlOpener>();
    }
    return installed();
}

void UrlOpener::setCurrent(std::shared_ptr<UrlOpener> opener) {
    installed() = std::move(opener);
}

}  // namespace oa

// UrlOpener: hands an address ("tel:", "sms:", "mailto:", a web page) to the desktop. The screens
// use UrlOpener::current(): the desktop's opener unless a test or the tour installed another
// (FakeUrlOpener), so that no real handler ever opens from them.
#pragma once

#include <QUrl>
#include <functional>
#include <memory>

namespace oa {

class UrlOpener {
public:
    using Callback = std::function<void(bool opened)>;

    virtual ~UrlOpener();

    // Never blocks the window. `callback` runs exactly once, on the main thread, after open()
    // has returned: true when a handler took the address, false when none exists or it failed.
    // Callers that may be gone by then guard the callback themselves (QPointer).
    virtual void open(const QUrl& url, Callback callback) = 0;

    // The opener the screens use. Main thread only.
    static std::shared_ptr<UrlOpener> current();
    // Installs `opener`; nullptr restores the desktop's.
    static void setCurrent(std::shared_ptr<UrlOpener> opener);
};

}  // namespace oa

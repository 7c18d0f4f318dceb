// DesktopUrlOpener: opens an address with the desktop's handler for its scheme. It first asks
// `xdg-mime query default x-scheme-handler/<scheme>` in a separate process (the window keeps
// running meanwhile): only when that names a handler is the address handed to
// QDesktopServices::openUrl. Without xdg-mime, without a handler, when the query fails or takes
// too long, or when the hand-over fails, the answer is false; on a desktop without a telephone
// the caller can then offer the number another way.
#pragma once

#include <QString>
#include <chrono>

#include "ui/platform/UrlOpener.h"

namespace oa {

class DesktopUrlOpener : public UrlOpener {
public:
    using Launcher = std::function<bool(const QUrl& url)>;

    // `program` is the query tool (a path or a name on PATH), `launcher` what hands the address
    // over once a handler exists; both are replaced in tests so that nothing real opens.
    explicit DesktopUrlOpener(QString program = QStringLiteral("xdg-mime"), Launcher launcher = {},
                              std::chrono::milliseconds queryTimeout = std::chrono::seconds(5));

    void open(const QUrl& url, Callback callback) override;

private:
    QString program_;
    Launcher launcher_;
    std::chrono::milliseconds queryTimeout_;
};

}  // namespace oa

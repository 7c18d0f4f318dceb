// Engine environment of the ui tests.
#include "ui/support/WebEngineSetup.h"

#include "ui/platform/WebEngine.h"

namespace oa::test {

void prepareUiTestProcess() {
    // The tests run as root in containers, with no GPU and no display.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }
    prepareWebEngine();
}

}  // namespace oa::test

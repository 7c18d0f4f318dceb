// UiTestMain: the shared body of the ui test programs' main().
#include "ui/support/UiTestMain.h"

#include <QApplication>
#include <optional>

#include "core/platform/MainLoop.h"
#include "ui/kit/Fonts.h"
#include "ui/platform/QtMainLoop.h"
#include "ui/support/QtTestRegistry.h"
#include "ui/support/WebEngineSetup.h"

namespace oa::test {

int runUiTestProgram(int argc, char** argv, UiTestLoop loop) {
    prepareUiTestProcess();
    QApplication app(argc, argv);
    std::optional<QtMainLoop> mainLoop;
    if (loop == UiTestLoop::QtMain) {
        mainLoop.emplace();
        MainLoop::setMain(&*mainLoop);
        installDefaultFont();
    }
    const int failed = runQtTests(argc, argv);
    if (mainLoop) {
        joinBackgroundThreads();
        MainLoop::setMain(nullptr);
    }
    return failed;
}

}  // namespace oa::test

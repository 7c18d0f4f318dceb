// Runs every registered test class of the directory lookups (see ui/support/QtTestRegistry.h) with
// the Qt main loop in place, as the screens hand their results to it.
#include <QApplication>

#include "core/platform/MainLoop.h"
#include "ui/kit/Fonts.h"
#include "ui/platform/QtMainLoop.h"
#include "ui/support/QtTestRegistry.h"
#include "ui/support/WebEngineSetup.h"

int main(int argc, char** argv) {
    oa::test::prepareUiTestProcess();
    QApplication app(argc, argv);
    oa::QtMainLoop loop;
    oa::MainLoop::setMain(&loop);
    oa::installDefaultFont();
    const int failed = oa::test::runQtTests(argc, argv);
    oa::joinBackgroundThreads();
    oa::MainLoop::setMain(nullptr);
    return failed;
}

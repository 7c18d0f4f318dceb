// Runs every registered test class of ui_images at 96 dpi, with the Qt event loop as the
// client's main loop: pictures stored in the background come back through it.
#include <QApplication>

#include "core/platform/MainLoop.h"
#include "ui/platform/QtMainLoop.h"
#include "ui/support/QtTestRegistry.h"
#include "ui/support/WebEngineSetup.h"

int main(int argc, char** argv) {
    oa::test::prepareUiTestProcess();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    oa::QtMainLoop loop;
    oa::MainLoop::setMain(&loop);
    const int failed = oa::test::runQtTests(argc, argv);
    oa::joinBackgroundThreads();
    oa::MainLoop::setMain(nullptr);
    return failed;
}

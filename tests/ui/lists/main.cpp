// Runs every registered test class of the module lists (see ui/support/QtTestRegistry.h) with the
// Qt main loop in place, so that the list screen's loads come back to the main thread.
#include <QApplication>

#include "core/platform/MainLoop.h"
#include "ui/kit/Fonts.h"
#include "ui/platform/QtMainLoop.h"
#include "ui/support/QtTestRegistry.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    oa::QtMainLoop loop;
    oa::MainLoop::setMain(&loop);
    oa::installDefaultFont();
    const int failed = oa::test::runQtTests(argc, argv);
    oa::joinBackgroundThreads();
    oa::MainLoop::setMain(nullptr);
    return failed;
}

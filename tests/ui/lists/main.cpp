// Runs every registered test class of the module lists (see ui/support/QtTestRegistry.h).
#include <QApplication>

#include "ui/support/QtTestRegistry.h"
#include "ui/support/WebEngineSetup.h"

int main(int argc, char** argv) {
    oa::test::prepareUiTestProcess();
    QApplication app(argc, argv);
    return oa::test::runQtTests(argc, argv);
}

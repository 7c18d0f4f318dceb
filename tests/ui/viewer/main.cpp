// Runs every registered test class of ui_viewer with the Qt main loop in place, which the
// viewer's downloads report through.
#include "ui/support/UiTestMain.h"

int main(int argc, char** argv) {
    return oa::test::runUiTestProgram(argc, argv, oa::test::UiTestLoop::QtMain);
}

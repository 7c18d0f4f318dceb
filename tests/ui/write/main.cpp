// Runs every registered test class of ui_write with the Qt main loop in place, so that
// submissions come back to the main thread.
#include "ui/support/UiTestMain.h"

int main(int argc, char** argv) {
    return oa::test::runUiTestProgram(argc, argv, oa::test::UiTestLoop::QtMain);
}

// Runs every registered test class of ui_picker with the Qt main loop in place, so that loads
// and sends come back to the main thread.
#include "ui/support/UiTestMain.h"

int main(int argc, char** argv) {
    return oa::test::runUiTestProgram(argc, argv, oa::test::UiTestLoop::QtMain);
}

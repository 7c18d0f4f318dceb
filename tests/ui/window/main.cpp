// Runs every registered test class of ui_window with the Qt main loop in place.
#include "ui/support/UiTestMain.h"

int main(int argc, char** argv) {
    return oa::test::runUiTestProgram(argc, argv, oa::test::UiTestLoop::QtMain);
}

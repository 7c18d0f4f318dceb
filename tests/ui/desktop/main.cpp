// Runs every registered test class of ui_desktop with the Qt main loop in place, under a session
// bus of its own (dbus-run-session).
#include "ui/support/UiTestMain.h"

int main(int argc, char** argv) {
    return oa::test::runUiTestProgram(argc, argv, oa::test::UiTestLoop::QtMain);
}

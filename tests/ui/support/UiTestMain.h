// The main() of the ui test programs that hold several test classes: process set-up, the
// QApplication, then every registered class (see QtTestRegistry.h).
#pragma once

namespace oa::test {

enum class UiTestLoop {
    None,    // the program's tests set up any main loop they need themselves
    QtMain,  // the Qt main loop is the client's MainLoop and the client's font is installed
};

// Returns the number of failed tests.
int runUiTestProgram(int argc, char** argv, UiTestLoop loop);

}  // namespace oa::test

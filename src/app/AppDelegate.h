// Start-up of the client: the window and the navigation stack rooted at the sign-in screen.
#pragma once

namespace oa {

class AppDelegate {
public:
    static int run(int argc, char** argv);
};

}  // namespace oa

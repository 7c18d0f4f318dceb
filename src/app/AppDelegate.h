// AppDelegate: start-up of the client: the window and the navigation stack rooted at the
// sign-in screen, plus the process set-up around them (command line, run loop, fonts).
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "app/LaunchOptions.h"

namespace oa {

class Window;

class AppDelegate {
public:
    AppDelegate();
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The whole process: reads the command line, creates the application and runs it.
    static int run(int argc, char** argv);

    // Finished launching: builds and shows the window. Needs a QApplication.
    bool application(const LaunchOptions& options);

    Window* window() const { return window_.get(); }

    // Writes the window as a PNG to `path` once it is on screen, then calls `done` with whether
    // the file was written. Missing folders of the path are created.
    void takeScreenshot(const QString& path, std::function<void(bool)> done);

private:
    std::unique_ptr<Window> window_;
};

}  // namespace oa

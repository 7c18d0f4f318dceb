// Placeholder start-up until the window and navigation stack exist.
#include "app/AppDelegate.h"

#include <QApplication>
#include <QLabel>

#include "core/platform/MainLoop.h"
#include "ui/platform/QtMainLoop.h"

namespace oa {

int AppDelegate::run(int argc, char** argv) {
    QApplication app(argc, argv);
    QtMainLoop loop;
    MainLoop::setMain(&loop);
    QLabel label(QString::fromUtf8("登录"));
    label.resize(320, 480);
    label.show();
    return app.exec();
}

}  // namespace oa

// The baseline of the start-up benchmark: the least a Qt Widgets program does to show a screen.
// One window with one label; once the window is exposed it is grabbed and written as a PNG (as
// oa-client --screenshot does), and the program ends.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString out = args.size() > 1 ? args.at(1) : QStringLiteral("label.png");
    QLabel label(QStringLiteral("登录"));
    label.resize(320, 480);
    label.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (label.windowHandle() && label.windowHandle()->isExposed()) {
            poll.stop();
            QCoreApplication::exit(label.grab().save(out, "PNG") ? 0 : 1);
        }
    });
    poll.start(5);
    return QApplication::exec();
}

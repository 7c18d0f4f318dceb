// The cost of the first web view: as the label baseline, but the window is a web view that
// loads one small page, grabbed once the page has loaded.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX") && geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString out = args.size() > 1 ? args.at(1) : QStringLiteral("web.png");
    QWebEngineView view;
    view.resize(320, 480);
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
        loaded = true;
        if (!ok) {
            QCoreApplication::exit(1);
        }
    });
    view.setHtml(QStringLiteral("<html><body><p>登录</p></body></html>"));
    view.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (loaded && view.windowHandle() && view.windowHandle()->isExposed()) {
            poll.stop();
            QCoreApplication::exit(view.grab().save(out, "PNG") ? 0 : 1);
        }
    });
    poll.start(5);
    return QApplication::exec();
}

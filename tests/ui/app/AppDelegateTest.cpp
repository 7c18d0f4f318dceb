// Start-up: the command line, the window and its navigation stack, the screenshot, Chinese text.
#include <QDir>
#include <QFile>
#include <QRawFont>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "app/AppDelegate.h"
#include "core/platform/AppPaths.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/WebEngine.h"
#include "ui/session/LoginController.h"
#include "ui/support/WebEngineSetup.h"

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace oa {

namespace {

// Whether a library of the web engine or of the PDF view is mapped into this process: the
// client does not link them, its modules load them with the first web view or PDF.
bool engineLibraryLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return true;  // cannot tell: fail rather than pass unseen
    }
    const QByteArray text = maps.readAll();
    return text.contains("libQt6WebEngine") || text.contains("oa_webengine") ||
           text.contains("libQt6Pdf") || text.contains("oa_pdf");
}

// Whether Qt Multimedia or the client's multimedia module is mapped into this process: the
// client does not link them, the first recording, playback or camera question loads them.
bool multimediaLibraryLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return true;  // cannot tell: fail rather than pass unseen
    }
    const QByteArray text = maps.readAll();
    return text.contains("libQt6Multimedia") || text.contains("oa_multimedia");
}

// Child processes of this one that belong to the web engine.
QStringList engineProcesses() {
    QStringList found;
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold spaces, the ")" closes it.
        const QString line = QString::fromLocal8Bit(stat.readAll());
        const int close = line.lastIndexOf(')');
        const QStringList rest = line.mid(close + 2).split(' ');
        if (rest.size() > 1 && rest[1] == self && line.contains(QStringLiteral("QtWebEngine"))) {
            found.append(line.left(close + 1));
        }
    }
    return found;
}

}  // namespace

class AppDelegateTest : public QObject {
    Q_OBJECT

    QTemporaryDir home_;

private slots:
    void initTestCase() {
        QVERIFY(!installDefaultFont().isEmpty());
        // The sign-in screen reads and makes its settings files in the home.
        QVERIFY(home_.isValid());
        AppPaths::setCurrent(AppPaths(home_.path().toStdString(), AppPaths::current().resources()));
    }

    void tourFolder() {
        QCOMPARE(parseLaunchOptions({"--tour", "/t"}).tour.value_or("").string(), "/t");
        QVERIFY(!parseLaunchOptions({"--tour="}).error.empty());
        QVERIFY(!parseLaunchOptions({"--screenshot", "a.png"}).tour);
    }

    void commandLine_data() {
        QTest::addColumn<std::vector<std::string>>("args");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<double>("scale");  // 0: not given
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("screenshot");
        QTest::addColumn<QStringList>("rest");
        QTest::addColumn<bool>("fails");

        using Args = std::vector<std::string>;
        QTest::newRow("defaults") << Args{} << QSize(320, 480) << 0.0 << ""
                                  << "" << QStringList() << false;
        QTest::newRow("all") << Args{"--home",  "/h", "--screen",     "320x568",
                                     "--scale", "2",  "--screenshot", "s.png"}
                             << QSize(320, 568) << 2.0 << "/h"
                             << "s.png" << QStringList() << false;
        QTest::newRow("equals form") << Args{"--screen=320x480", "--scale=1.5", "--home=/x"}
                                     << QSize(320, 480) << 1.5 << "/x"
                                     << "" << QStringList() << false;
        QTest::newRow("qt options left for qt")
            << Args{"-platform", "offscreen", "--scale", "3"} << QSize(320, 480) << 3.0 << ""
            << "" << QStringList({"-platform", "offscreen"}) << false;
        QTest::newRow("unknown screen") << Args{"--screen", "480x320"} << QSize() << 0.0 << ""
                                        << "" << QStringList() << true;
        QTest::newRow("scale not a number") << Args{"--scale", "2x"} << QSize() << 0.0 << ""
                                            << "" << QStringList() << true;
        QTest::newRow("scale out of range") << Args{"--scale", "0"} << QSize() << 0.0 << ""
                                            << "" << QStringList() << true;
        QTest::newRow("scale nan") << Args{"--scale", "nan"} << QSize() << 0.0 << ""
                                   << "" << QStringList() << true;
        QTest::newRow("missing value") << Args{"--home"} << QSize() << 0.0 << ""
                                       << "" << QStringList() << true;
        QTest::newRow("empty screenshot") << Args{"--screenshot="} << QSize() << 0.0 << ""
                                          << "" << QStringList() << true;
    }

    void commandLine() {
        QFETCH(std::vector<std::string>, args);
        QFETCH(QSize, screen);
        QFETCH(double, scale);
        QFETCH(QString, home);
        QFETCH(QString, screenshot);
        QFETCH(QStringList, rest);
        QFETCH(bool, fails);

        const LaunchOptions options = parseLaunchOptions(args);
        QCOMPARE(!options.error.empty(), fails);
        if (fails) {
            return;
        }
        QCOMPARE(options.screen, screen);
        QCOMPARE(options.scale.value_or(0), scale);
        QCOMPARE(QString::fromStdString(options.home.value_or("").string()), home);
        QCOMPARE(QString::fromStdString(options.screenshot.value_or("").string()), screenshot);
        QStringList leftover;
        for (const auto& arg : options.rest) {
            leftover << QString::fromStdString(arg);
        }
        QCOMPARE(leftover, rest);
    }

    void badCommandLineStopsBeforeStarting() {
        char program[] = "oa-client";
        char option[] = "--screen";
        char value[] = "1x1";
        char* argv[] = {program, option, value, nullptr};
        QCOMPARE(AppDelegate::run(3, argv), 2);
    }

    void startUpShowsSignInAtRootWithHiddenBar_data() {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("320x480") << QSize(320, 480);
        QTest::newRow("320x568") << QSize(320, 568);
    }

    void startUpShowsSignInAtRootWithHiddenBar() {
        QFETCH(QSize, screen);
        LaunchOptions options;
        options.screen = screen;
        AppDelegate delegate;
        QVERIFY(delegate.application(options));

        Window* window = delegate.window();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->size(), screen);
        QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::white));

        auto* nav = qobject_cast<NavigationController*>(window->rootViewController());
        QVERIFY(nav);
        QCOMPARE(nav->viewControllers().size(), 1);
        auto* login = qobject_cast<LoginController*>(nav->rootViewController());
        QVERIFY(login);
        QCOMPARE(login->title(), QString("登录"));
        QVERIFY(login->isAppeared());
        QVERIFY(nav->isNavigationBarHidden());
        QVERIFY(!nav->navigationBar()->isVisible());
        QVERIFY(!nav->navigationBar()->backgroundImage().isNull());
        // With the bar hidden the sign-in screen covers the whole window.
        QCOMPARE(login->view()->geometry(), QRect(QPoint(0, 0), screen));
    }

    // The web engine is heavy: the sign-in screen must appear without it.
    void theSignInScreenStartsNoWebEngine() {
        AppDelegate delegate;
        QVERIFY(delegate.application(LaunchOptions{}));
        QVERIFY(QTest::qWaitForWindowExposed(delegate.window()));
        QCoreApplication::processEvents();

        QVERIFY(!webProfileCreated());
        const QWidgetList widgets = QApplication::allWidgets();
        QVERIFY(std::none_of(widgets.begin(), widgets.end(),
                             [](QWidget* w) { return w->inherits("QWebEngineView"); }));
        QVERIFY2(engineProcesses().isEmpty(), qPrintable(engineProcesses().join(' ')));
        QVERIFY(!engineLibraryLoaded());
    }

    // The audio stack is heavy too: nothing of it runs before the first recording or playback.
    void theSignInScreenStartsNoAudio() {
        AppDelegate delegate;
        QVERIFY(delegate.application(LaunchOptions{}));
        QVERIFY(QTest::qWaitForWindowExposed(delegate.window()));
        QCoreApplication::processEvents();
        QVERIFY(!AudioStack::hasStarted());
        QVERIFY(!multimediaLibraryLoaded());
    }

    void voiceInputFile() {
        QCOMPARE(parseLaunchOptions({"--voice-input", "/v/a.wav"}).voiceInput.value_or("").string(),
                 "/v/a.wav");
        QVERIFY(!parseLaunchOptions({"--voice-input="}).error.empty());
        QVERIFY(!parseLaunchOptions({"--voice-input"}).error.empty());
        QVERIFY(!parseLaunchOptions({}).voiceInput);
    }

    void screenshotShowsTheFirstScreen() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("shots/start.png");  // the folder does not exist yet
        AppDelegate delegate;
        delegate.application(LaunchOptions{});
        std::optional<bool> written;
        delegate.takeScreenshot(path, [&](bool ok) { written = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(written.has_value(), 10000);
        QVERIFY(*written);

        QImage shot(path);
        QVERIFY(!shot.isNull());
        QCOMPARE(shot.size(), QSize(320, 480));
        // The sign-in screen: the white panel of the form, and the blue confirm button under it.
        const QColor panel = shot.pixelColor(30, 108);
        QVERIFY2(panel.lightness() > 235, qPrintable(panel.name()));
        int blueInButton = 0;
        for (int x = 40; x < 280; x += 4) {
            const QColor colour = shot.pixelColor(x, 340);
            blueInButton += colour.blue() > colour.red() + 60 ? 1 : 0;
        }
        QVERIFY(blueInButton > 40);
    }

    void screenshotWithoutWindowFails() {
        AppDelegate delegate;
        std::optional<bool> written;
        delegate.takeScreenshot("unused.png", [&](bool ok) { written = ok; });
        QCOMPARE(written, std::optional<bool>(false));
    }

    void defaultFontHasTheChineseGlyphs() {
        const QRawFont font = QRawFont::fromFont(boldSystemFont(20));
        QVERIFY(font.isValid());
        for (char32_t c : QString("登录返回").toUcs4()) {
            QVERIFY2(font.supportsCharacter(c), qPrintable(font.familyName()));
        }
        QCOMPARE(boldSystemFont(20).pixelSize(), 20);
        QVERIFY(boldSystemFont(20).bold());
    }
};

}  // namespace oa

OA_QTEST_MAIN(oa::AppDelegateTest)
#include "AppDelegateTest.moc"

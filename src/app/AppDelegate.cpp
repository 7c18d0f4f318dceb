// AppDelegate: the start-up steps, and the process around them.
#include "app/AppDelegate.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <future>
#include <iostream>
#include <memory>

#include "app/ShownPicture.h"
#include "app/Tour.h"
#include "app/VersionReport.h"

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/platform/PrivatePath.h"
#include "core/platform/SingleInstance.h"
#include "core/session/HomeCheck.h"
#include "core/session/PlistManager.h"
#include "core/session/TrustPlist.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Window.h"
#include "ui/kit/Zoom.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/QtMainLoop.h"
#include "ui/platform/WavFileAudioRecorder.h"
#include "ui/platform/WebEngine.h"
#include "ui/session/LoginController.h"
#include "ui/session/LoginView.h"

namespace oa {

namespace {
// When the window gets its icon.
constexpr int kWindowIconDelayMs = 300;
// How long a screenshot waits for the window system to show the window before grabbing anyway.
constexpr int kExposeTimeoutMs = 5000;
constexpr char kTopBackgroundImage[] = "topbackground.png";

// Calls `exposed` from the event loop after each expose event of the window it filters.
class ExposeFilter : public QObject {
public:
    ExposeFilter(QObject* parent, std::function<void()> exposed)
        : QObject(parent), exposed_(std::move(exposed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            QTimer::singleShot(0, this, exposed_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> exposed_;
};

// The home's one client: this process (its socket is then returned, to listen once the window
// exists), or the one already running, which is asked to come to the front (nothing returned).
// Without a usable socket the process runs on its own, as before.
std::unique_ptr<SingleInstance> claimHome() {
    const AppPaths paths = AppPaths::current();
    PrivatePath::makeFolder(paths.temporary());
    const auto socket = SingleInstance::socketPath(paths.home(), paths.temporary());
    if (!socket) {
        log("single instance: no private folder for the socket; running on its own");
        return std::make_unique<SingleInstance>(std::filesystem::path());
    }
    auto instance = std::make_unique<SingleInstance>(*socket);
    if (instance->start() == SingleInstance::Outcome::Raised) {
        std::cout << "oa-client: already running for " << paths.home().string()
                  << "; brought it to the front\n";
        return nullptr;
    }
    return instance;
}

}  // namespace

AppDelegate::AppDelegate() = default;
AppDelegate::~AppDelegate() = default;

bool AppDelegate::application(const LaunchOptions& options) {
    window_ = std::make_unique<Window>(options.screen);
    window_->setWindowTitle(QStringLiteral("OA"));

    // The phone's status bar is set to its black opaque style here; a desktop window has no
    // status bar, so there is nothing to set.

    auto* login = new LoginController;
    auto* navigation = new NavigationController(login);
    navigation->navigationBar()->setBackgroundImage(
        image(QString::fromLatin1(kTopBackgroundImage)));
    navigation->setNavigationBarHidden(true);

    window_->setRootViewController(navigation);
    Zoom::installShortcuts(window_.get());
    window_->makeKeyAndVisible();
    // The title bar's and task switcher's icon (the installed one's picture) once the first
    // screen is up: drawing it is no part of the start.
    QTimer::singleShot(kWindowIconDelayMs, window_.get(), [window = window_.get()] {
        QIcon icon;
        for (const qreal ratio : {1.0, 2.0, 4.0}) {
            // 64, 128 and 256 pixels, each a size of its own.
            QPixmap size = image(QStringLiteral("appicon"), ratio);
            size.setDevicePixelRatio(1);
            icon.addPixmap(size);
        }
        window->setWindowIcon(icon);
    });
    return true;
}

void AppDelegate::takeScreenshot(const QString& path, std::function<void(bool)> done) {
    if (!window_) {
        done(false);
        return;
    }
    // Grabbed as soon as the window system shows the window (its expose event), or after the
    // time-out without it; once.
    auto fired = std::make_shared<bool>(false);
    auto* deadline = new QTimer(window_.get());
    deadline->setSingleShot(true);
    auto shoot = [this, path, done, deadline, fired](bool onlyIfExposed) {
        const QWindow* handle = window_->windowHandle();
        if (*fired || (onlyIfExposed && !(handle && handle->isExposed()))) {
            return;
        }
        *fired = true;
        deadline->stop();
        deadline->deleteLater();
        const QFileInfo target(path);
        QDir().mkpath(target.absolutePath());
        const bool written = shownPicture(*window_).save(target.absoluteFilePath(), "PNG");
        log((written ? "screenshot: " : "screenshot failed: ") +
            target.absoluteFilePath().toStdString());
        done(written);
    };
    QObject::connect(deadline, &QTimer::timeout, window_.get(), [shoot] { shoot(false); });
    deadline->start(kExposeTimeoutMs);
    if (QWindow* handle = window_->windowHandle()) {
        handle->installEventFilter(new ExposeFilter(handle, [shoot] { shoot(true); }));
    }
    QTimer::singleShot(0, window_.get(), [shoot] { shoot(true); });
}

int AppDelegate::run(int argc, char** argv) {
    const LaunchOptions options =
        parseLaunchOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << "oa-client: " << options.error << "\n" << launchUsage();
        return 2;
    }
    if (options.help) {
        std::cout << launchUsage();
        return 0;
    }
    if (options.version) {
        const QCoreApplication app(argc, argv);
        std::cout << versionReport();
        return 0;
    }
    // Before anything reads a file.
    if (options.home) {
        AppPaths::setCurrent(AppPaths::resolve(*options.home));
    }
    if (const auto problem = HomeCheck::prepare()) {
        std::cerr << "oa-client: " << *problem << "\n";
        return 1;
    }
    // A second client of the home would run without the push channel, which the first holds.
    // Screenshots and tours are one-off runs that quit by themselves, never the user's client.
    std::unique_ptr<SingleInstance> instance;
    if (!options.screenshot && !options.tour) {
        instance = claimHome();
        if (!instance) {
            return 0;
        }
    }
    // Every request pins the servers the user trusted (Documents/TrustPlist.plist).
    TrustPlist::installAsPinSource();
    // Qt reads the scale factor when the application starts; it scales every widget, font and
    // image alike, and images are then drawn at the higher density.
    if (options.voiceInput) {
        const QString file = QString::fromStdString(options.voiceInput->string());
        AudioStack::setRecorderFactory([file](QObject* parent) -> AudioRecorder* {
            return WavFileAudioRecorder::fromFile(file, parent);
        });
    }
    // A scale given on the command line, or in Qt's own variable, is the user's for this run.
    std::optional<double> forcedScale = options.scale;
    if (options.scale) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*options.scale));
    } else if (bool ok = false; qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        if (const double scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok); ok) {
            forcedScale = scale;
        }
    }

    std::vector<char*> qtArgs{argv[0]};
    for (const std::string& arg : options.rest) {
        qtArgs.push_back(const_cast<char*>(arg.c_str()));
    }
    qtArgs.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgs.size()) - 1;
    // The engine itself starts with the first web page, long after the sign-in screen.
    prepareWebEngine();
    QApplication::setApplicationName(QStringLiteral(OA_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(OA_APP_VERSION));
    // Desktops match the window to the installed menu entry (and its icon) by this name.
    QApplication::setDesktopFileName(QStringLiteral("oa-client"));
    QApplication app(qtArgc, qtArgs.data());
    if (const QStringList unknown = app.arguments().mid(1); !unknown.isEmpty()) {
        std::cerr << "oa-client: unknown argument " << unknown.first().toStdString() << "\n"
                  << launchUsage();
        return 2;
    }

    // Before the first picture is drawn: they are drawn for the scale in force.
    Zoom::applyAtStart(forcedScale);
    // The sign-in screen's pictures are drawn, and on a first start its settings files made from
    // their templates (written and flushed to disk), beside the reading of the fonts, which
    // follows. The sign-in screen reading the files waits for the files' lock if need be.
    prefetchImages(LoginView::imageNames() << QString::fromLatin1(kTopBackgroundImage));
    const std::future<void> settingsMade = std::async(std::launch::async, [] {
        const PlistManager files;
        files.isExists();
        files.isSetExists();
    });

    QtMainLoop loop;
    MainLoop::setMain(&loop);
    // The push channel's socket is the listener's own (PosixDatagramSocket: a thread of its
    // own that delivers through the main loop, i.e. the Qt event loop): the client does not load
    // Qt's network module and the libraries it brings before its first screen.
    installDefaultFont();

    int status = 0;
    {
        AppDelegate delegate;
        delegate.application(options);
        if (options.screenshot) {
            delegate.takeScreenshot(QString::fromStdString(options.screenshot->string()),
                                    [](bool written) { QCoreApplication::exit(written ? 0 : 1); });
        }
        if (instance) {
            const QPointer<Window> window = delegate.window();
            instance->listen([window] {
                QMetaObject::invokeMethod(qApp, [window] {
                    if (window) {
                        logDiagnostic("another start of the client: window brought to front");
                        window->bringToFront();
                    }
                });
            });
        }
        std::unique_ptr<Tour> tour;
        if (options.tour) {
            tour = std::make_unique<Tour>(delegate.window(),
                                          QString::fromStdString(options.tour->string()));
            tour->start([](bool ok) { QCoreApplication::exit(ok ? 0 : 1); });
        }
        status = QApplication::exec();
        instance.reset();  // its requests go to the application
        // Loads still running report to the main loop; let them end while it exists.
        joinBackgroundThreads();
    }
    MainLoop::setMain(nullptr);
    return status;
}

}  // namespace oa

// DesktopUrlOpener: the handler query as an asynchronous QProcess, then the hand-over.
#include "ui/platform/DesktopUrlOpener.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace oa {

namespace {

Q_LOGGING_CATEGORY(lcUrlOpener, "oa.urlopener")

// Runs the callback once, from the event loop.
void answerLater(UrlOpener::Callback callback, bool opened) {
    QTimer::singleShot(0, [callback = std::move(callback), opened] {
        if (callback) {
            callback(opened);
        }
    });
}

}  // namespace

DesktopUrlOpener::DesktopUrlOpener(QString program, Launcher launcher,
                                   std::chrono::milliseconds queryTimeout)
    : program_(std::move(program)), launcher_(std::move(launcher)), queryTimeout_(queryTimeout) {
    if (!launcher_) {
        launcher_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    }
}

void DesktopUrlOpener::open(const QUrl& url, Callback callback) {
    const QString scheme = url.scheme().toLower();
    // A scheme is letters, digits, "+", "-" and "."; anything else is no address to hand on.
    static const QRegularExpression schemeShape(QStringLiteral("^[a-z][a-z0-9+.-]*$"));
    if (!url.isValid() || !schemeShape.match(scheme).hasMatch()) {
        qCInfo(lcUrlOpener) << "not an address to open:" << url.toString();
        answerLater(std::move(callback), false);
        return;
    }

    auto* process = new QProcess;
    auto* timer = new QTimer(process);
    timer->setSingleShot(true);
    // One answer, whichever of finishing, failing to start or the time-out comes first.
    auto answer = std::make_shared<Callback>(std::move(callback));
    auto finish = [process, timer, answer](bool opened) {
        if (!*answer) {
            return;
        }
        timer->stop();
        Callback once = std::move(*answer);
        *answer = nullptr;
        process->disconnect();
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            // Reaped in the background: the window never waits for it.
            QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        } else {
            process->deleteLater();
        }
        once(opened);
    };

    QObject::connect(process, &QProcess::errorOccurred, process,
                     [finish, process, url](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             qCInfo(lcUrlOpener) << "cannot ask for a handler of" << url.scheme()
                                                 << ":" << process->errorString();
                             finish(false);
                         }
                     });
    QObject::connect(
        process, &QProcess::finished, process,
        [finish, process, url, launcher = launcher_](int exitCode, QProcess::ExitStatus status) {
            const QString handler =
                QString::fromLocal8Bit(process->readAllStandardOutput()).trimmed();
            if (status != QProcess::NormalExit || exitCode != 0 || handler.isEmpty()) {
                qCInfo(lcUrlOpener) << "no handler for" << url.scheme();
                finish(false);
                return;
            }
            const bool opened = launcher(url);
            if (!opened) {
                qCInfo(lcUrlOpener) << handler << "did not take" << url.scheme();
            }
            finish(opened);
        });
    QObject::connect(timer, &QTimer::timeout, process, [finish, url] {
        qCInfo(lcUrlOpener) << "the handler query for" << url.scheme() << "took too long";
        finish(false);
    });
    timer->start(queryTimeout_);
    process->setProgram(program_);
    process->setArguments(
        {QStringLiteral("query"), QStringLiteral("default"), "x-scheme-handler/" + scheme});
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(QIODevice::ReadOnly);
}

}  // namespace oa

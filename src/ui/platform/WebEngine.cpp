// WebEngine: process set-up, loading the engine module and keeping its cookies those of the
// transport.
#include "ui/platform/WebEngine.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/session/LoginBO.h"
#include "core/transport/CookieExport.h"
#include "ui/platform/WebEngineBackend.h"

#ifndef OA_MODULE_DIR
#define OA_MODULE_DIR ""
#endif

namespace oa {

namespace {

constexpr const char* kModuleName = "oa_webengine.so";

struct EngineState {
    bool tried = false;
    WebEngineBackend* backend = nullptr;
    QString error;
    bool cookiesCopied = false;  // whether the engine has had the first full copy
    ObserverToken signIn;
};

// Main thread only.
EngineState& state() {
    static EngineState* s = new EngineState;  // outlives every view, like the engine
    return *s;
}

// OA_MODULE_DIR in the environment alone, else beside the program and its lib folder, then
// the build tree the program came from.
QStringList moduleCandidates() {
    QStringList dirs;
    if (const QString fromEnv = qEnvironmentVariable("OA_MODULE_DIR"); !fromEnv.isEmpty()) {
        return {QDir(fromEnv).filePath(QString::fromLatin1(kModuleName))};
    }
    const QString appDir = QCoreApplication::applicationDirPath();
    dirs << appDir << appDir + QStringLiteral("/../lib/oa-client");
    if (const QString built = QString::fromUtf8(OA_MODULE_DIR); !built.isEmpty()) {
        dirs << built;
    }
    QStringList files;
    for (const QString& dir : dirs) {
        files << QDir(dir).filePath(QString::fromLatin1(kModuleName));
    }
    return files;
}

}  // namespace

WebEngineBackend* loadWebEngineModule(const QStringList& files, QString* error) {
    QStringList tried;
    for (const QString& file : files) {
        if (!QFileInfo::exists(file)) {
            tried << file + QStringLiteral(": not found");
            continue;
        }
        // Never unloaded: the engine lives as long as the process.
        auto* library = new QLibrary(file);
        const auto entry =
            reinterpret_cast<WebEngineBackendEntry>(library->resolve(kWebEngineBackendEntry));
        if (!entry) {
            tried << library->errorString();
            delete library;
            continue;
        }
        if (WebEngineBackend* backend = entry(kWebEngineBackendVersion)) {
            log("web engine: module " + file.toStdString() + " loaded");
            return backend;
        }
        tried << file + QStringLiteral(": built for another version of the client");
    }
    if (error) {
        *error = tried.join(QStringLiteral("; "));
    }
    return nullptr;
}

void prepareWebEngine() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        log("web engine: running as root, sandbox disabled (QTWEBENGINE_DISABLE_SANDBOX=1)");
    }
}

WebEngineBackend* webEngineBackend() {
    EngineState& s = state();
    if (!s.tried) {
        s.tried = true;
        s.backend = loadWebEngineModule(moduleCandidates(), &s.error);
        if (!s.backend) {
            log("web engine: the module could not be loaded: " + s.error.toStdString());
            return nullptr;
        }
        // A sign-in replaces the session cookie; the notification comes on the loader's thread.
        s.signIn = NotificationCenter::defaultCenter().addObserver(
            LoginBO::kLoginResult,
            [](const auto&) { MainLoop::main().post([] { copySessionCookies(); }); });
    }
    return s.backend;
}

QString webEngineLoadError() {
    return state().error;
}

QObject* webProfile() {
    WebEngineBackend* backend = state().backend;
    return backend ? backend->profile() : nullptr;
}

bool webProfileCreated() {
    WebEngineBackend* backend = state().backend;
    return backend && backend->started();
}

void copySessionCookies() {
    WebEngineBackend* backend = state().backend;
    if (backend && backend->started()) {
        backend->setSessionCookies(exportSessionCookies());
    }
}

}  // namespace oa

// WebEngine: process set-up, loading the engine module and keeping its cookies those of the
// transport.
#include "ui/platform/WebEngine.h"

#include <unistd.h>

#include <QCoreApplication>

#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/platform/NotificationCenter.h"
#include "core/session/LoginBO.h"
#include "core/transport/CookieExport.h"
#include "ui/platform/ClientModule.h"
#include "ui/platform/WebEngineBackend.h"

namespace oa {

namespace {

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

}  // namespace

WebEngineBackend* loadWebEngineModule(const QStringList& files, QString* error) {
    return loadClientModule<WebEngineBackend>(files, kWebEngineBackendEntry,
                                              kWebEngineBackendVersion, error);
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
        s.backend = loadWebEngineModule(clientModuleCandidates(QStringLiteral("oa_webengine.so")),
                                        &s.error);
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

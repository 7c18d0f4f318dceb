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

// Main thread only.
ClientModuleSlot& slot() {
    static ClientModuleSlot module("oa_webengine.so", kWebEngineBackendEntry,
                                   kWebEngineBackendVersion, "web engine");
    return module;
}

// The backend if the module has been loaded, without loading it.
WebEngineBackend* loaded() {
    return slot().tried() ? slot().load<WebEngineBackend>() : nullptr;
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
    auto* backend = slot().load<WebEngineBackend>();
    if (backend) {
        // A sign-in replaces the session cookie; the notification comes on the loader's thread.
        // Kept for the life of the process, like the engine: never removed at exit, when the
        // notification centre may be gone already.
        [[maybe_unused]] static const auto* signIn = new ObserverToken(
            NotificationCenter::defaultCenter().addObserver(LoginBO::kLoginResult, [](const auto&) {
                MainLoop::main().post([] { copySessionCookies(); });
            }));
    }
    return backend;
}

QString webEngineLoadError() {
    return slot().error();
}

QObject* webProfile() {
    WebEngineBackend* backend = loaded();
    return backend ? backend->profile() : nullptr;
}

bool webProfileCreated() {
    WebEngineBackend* backend = loaded();
    return backend && backend->started();
}

void copySessionCookies() {
    WebEngineBackend* backend = loaded();
    if (backend && backend->started()) {
        backend->setSessionCookies(exportSessionCookies());
    }
}

}  // namespace oa

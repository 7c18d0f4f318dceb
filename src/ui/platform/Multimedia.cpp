// Multimedia: loading the multimedia module once.
#include "ui/platform/Multimedia.h"

#include "core/platform/Log.h"
#include "ui/platform/ClientModule.h"
#include "ui/platform/MultimediaBackend.h"

namespace oa {

namespace {

struct ModuleState {
    bool tried = false;
    MultimediaBackend* backend = nullptr;
    QString error;
};

// Main thread only.
ModuleState& state() {
    static ModuleState s;
    return s;
}

}  // namespace

MultimediaBackend* loadMultimediaModule(const QStringList& files, QString* error) {
    return loadClientModule<MultimediaBackend>(files, kMultimediaBackendEntry,
                                               kMultimediaBackendVersion, error);
}

MultimediaBackend* multimediaBackend() {
    ModuleState& s = state();
    if (!s.tried) {
        s.tried = true;
        s.backend = loadMultimediaModule(clientModuleCandidates(QStringLiteral("oa_multimedia.so")),
                                         &s.error);
        if (!s.backend) {
            log("multimedia: the module could not be loaded: " + s.error.toStdString());
        }
    }
    return s.backend;
}

QString multimediaLoadError() {
    return state().error;
}

}  // namespace oa

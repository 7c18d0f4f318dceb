// Multimedia: loading the multimedia module once.
#include "ui/platform/Multimedia.h"

#include "ui/platform/ClientModule.h"
#include "ui/platform/MultimediaBackend.h"

namespace oa {

namespace {

// Main thread only.
ClientModuleSlot& slot() {
    static ClientModuleSlot module("oa_multimedia.so", kMultimediaBackendEntry,
                                   kMultimediaBackendVersion, "multimedia");
    return module;
}

}  // namespace

MultimediaBackend* loadMultimediaModule(const QStringList& files, QString* error) {
    return loadClientModule<MultimediaBackend>(files, kMultimediaBackendEntry,
                                               kMultimediaBackendVersion, error);
}

MultimediaBackend* multimediaBackend() {
    return slot().load<MultimediaBackend>();
}

QString multimediaLoadError() {
    return slot().error();
}

}  // namespace oa

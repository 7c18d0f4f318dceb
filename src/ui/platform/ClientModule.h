// The client's modules: shared objects holding the code that needs a large library (the web
// engine, Qt Multimedia), loaded with the first use of that code so that the client's start
// does not wait for them. Each exports one C function `void* entry(int version)` returning its
// backend (a pointer to an abstract class of ui/platform), or null when built for another
// version.
#pragma once

#include <QString>
#include <QStringList>

namespace oa {

// Where the module file `fileName` (e.g. "oa_webengine.so") is looked for: in $OA_MODULE_DIR
// alone when that is set, else beside the program, in the folder the modules are installed in
// (../lib/oa-client from an installed program's folder) and in the build tree the program came
// from.
QStringList clientModuleCandidates(const QString& fileName);

// The backend of the first of `files` that exports `entry` and accepts `version`; null with
// the reason for each file in `error` otherwise. A module once loaded stays loaded.
void* loadClientModule(const QStringList& files, const char* entry, int version, QString* error);

// Typed form: the entry's void* is a `Backend*`.
template <class Backend>
Backend* loadClientModule(const QStringList& files, const char* entry, int version,
                          QString* error) {
    return static_cast<Backend*>(loadClientModule(files, entry, version, error));
}

// One module, loaded at most once: the first load() looks for it where
// clientModuleCandidates says and logs why it could not be loaded; every later call answers the
// same. Main thread only.
class ClientModuleSlot {
public:
    // `what` names the module in the log ("web engine").
    ClientModuleSlot(const char* fileName, const char* entry, int version, const char* what)
        : fileName_(fileName), entry_(entry), version_(version), what_(what) {}

    template <class Backend>
    Backend* load() {
        return static_cast<Backend*>(loadOnce());
    }
    // Whether load() has been called.
    bool tried() const { return tried_; }
    // Where the module was looked for and why it failed; empty before the first load() or
    // after a successful one.
    const QString& error() const { return error_; }

private:
    void* loadOnce();

    const char* fileName_;
    const char* entry_;
    int version_;
    const char* what_;
    bool tried_ = false;
    void* backend_ = nullptr;
    QString error_;
};

}  // namespace oa

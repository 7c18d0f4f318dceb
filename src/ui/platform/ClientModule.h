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
// alone when that is set, else beside the program, in its ../lib/oa-client and in the build
// tree the program came from.
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

}  // namespace oa

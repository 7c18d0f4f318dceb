// ClientModule: finding and loading the client's modules.
#include "ui/platform/ClientModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include "core/platform/Log.h"

#ifndef OA_MODULE_DIR
#define OA_MODULE_DIR ""
#endif
#ifndef OA_INSTALLED_MODULE_DIR
#define OA_INSTALLED_MODULE_DIR "../lib/oa-client"
#endif

namespace oa {

QStringList clientModuleCandidates(const QString& fileName) {
    if (const QString fromEnv = qEnvironmentVariable("OA_MODULE_DIR"); !fromEnv.isEmpty()) {
        return {QDir(fromEnv).filePath(fileName)};
    }
    QStringList dirs;
    const QString appDir = QCoreApplication::applicationDirPath();
    dirs << appDir << QDir(appDir).filePath(QStringLiteral(OA_INSTALLED_MODULE_DIR));
    if (const QString built = QString::fromUtf8(OA_MODULE_DIR); !built.isEmpty()) {
        dirs << built;
    }
    QStringList files;
    for (const QString& dir : dirs) {
        files << QDir(dir).filePath(fileName);
    }
    return files;
}

void* loadClientModule(const QStringList& files, const char* entry, int version, QString* error) {
    using Entry = void* (*)(int);
    QStringList tried;
    for (const QString& file : files) {
        if (!QFileInfo::exists(file)) {
            tried << file + QStringLiteral(": not found");
            continue;
        }
        // Never unloaded: what a module makes lives as long as the process.
        auto* library = new QLibrary(file);
        const auto function = reinterpret_cast<Entry>(library->resolve(entry));
        if (!function) {
            tried << library->errorString();
            delete library;
            continue;
        }
        if (void* backend = function(version)) {
            log("module " + file.toStdString() + " loaded");
            return backend;
        }
        tried << file + QStringLiteral(": built for another version of the client");
    }
    if (error) {
        *error = tried.join(QStringLiteral("; "));
    }
    return nullptr;
}

void* ClientModuleSlot::loadOnce() {
    if (!tried_) {
        tried_ = true;
        backend_ = loadClientModule(clientModuleCandidates(QString::fromLatin1(fileName_)), entry_,
                                    version_, &error_);
        if (!backend_) {
            log(std::string(what_) + ": the module could not be loaded: " + error_.toStdString());
        }
    }
    return backend_;
}

}  // namespace oa

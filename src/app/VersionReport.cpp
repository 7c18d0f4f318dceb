// VersionReport: the version and the files an installation is made of.
#include "app/VersionReport.h"

#include <QFileInfo>

#include "core/platform/AppPaths.h"
#include "ui/platform/ClientModule.h"

namespace oa {

namespace {

struct ModuleName {
    const char* what;
    const char* file;
};

// The modules the web views, the PDF view and the recorder load (WebEngine.cpp, PdfBackend.cpp,
// Multimedia.cpp).
constexpr ModuleName kModules[] = {
    {"web engine", "oa_webengine.so"}, {"pdf", "oa_pdf.so"}, {"multimedia", "oa_multimedia.so"}};

}  // namespace

std::string versionReport() {
    std::string report = OA_APP_NAME " " OA_APP_VERSION "\n";
    report += "resources: " + AppPaths::current().resources().string() + "\n";
    for (const ModuleName& module : kModules) {
        const QStringList candidates = clientModuleCandidates(QString::fromLatin1(module.file));
        QString found;
        for (const QString& file : candidates) {
            if (QFileInfo::exists(file)) {
                found = QFileInfo(file).canonicalFilePath();
                break;
            }
        }
        report +=
            std::string(module.what) + " module: " +
            (found.isEmpty() ? "not found in " + candidates.join(QStringLiteral(", ")) : found)
                .toStdString() +
            "\n";
    }
    return report;
}

}  // namespace oa

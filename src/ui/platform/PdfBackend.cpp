// Loading the PDF module once.
#include "ui/platform/PdfBackend.h"

#include "core/platform/Log.h"
#include "ui/platform/ClientModule.h"

namespace oa {

PdfBackend* pdfBackend() {
    static bool tried = false;
    static PdfBackend* backend = nullptr;
    if (!tried) {
        tried = true;
        QString error;
        backend = loadClientModule<PdfBackend>(clientModuleCandidates(QStringLiteral("oa_pdf.so")),
                                               kPdfBackendEntry, kPdfBackendVersion, &error);
        if (!backend) {
            log("pdf: the module could not be loaded: " + error.toStdString());
        }
    }
    return backend;
}

}  // namespace oa

// Loading the PDF module once.
#include "ui/platform/PdfBackend.h"

#include "ui/platform/ClientModule.h"

namespace oa {

PdfBackend* pdfBackend() {
    static ClientModuleSlot module("oa_pdf.so", kPdfBackendEntry, kPdfBackendVersion, "pdf");
    return module.load<PdfBackend>();
}

}  // namespace oa

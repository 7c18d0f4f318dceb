// The seam between the client and its PDF module (oa_pdf.so, src/ui/pdf): the PDF libraries
// are loaded with the first PDF shown, not with the client. Only this abstract class and Qt's
// widget types cross.
#pragma once

#include <QString>

class QWidget;

namespace oa {

inline constexpr int kPdfBackendVersion = 2;
// The module's one exported function, `void* oa_pdf_backend(int version)`, returns its
// PdfBackend* (see ClientModule.h).
inline constexpr const char* kPdfBackendEntry = "oa_pdf_backend";

class PdfBackend {
public:
    virtual ~PdfBackend() = default;
    // A rendered page is an image of 4 bytes a pixel; a page that would take more than 64 MB is
    // not drawn (a page of a few points by metres is a few hundred bytes of PDF).
    static constexpr long long kMaxPagePixels = 64LL * 1024 * 1024 / 4;

    // A scrolling view of every page of the PDF file at `path`, fitted to its width; null when
    // the file is not a PDF with at least one page, or when a page fitted to `widthPixels` would
    // take more than kMaxPagePixels. The view owns the document it shows and lets go of it before
    // either is destroyed; should it grow wider later, it zooms out rather than draw a page over
    // that budget. Main thread.
    virtual QWidget* createView(const QString& path, int widthPixels) = 0;
    // The number of pages of a view made by createView.
    virtual int pageCount(const QWidget* view) const = 0;
};

// The backend of the PDF module, loaded on the first call; null (and logged once) when the
// module cannot be loaded. Main thread.
PdfBackend* pdfBackend();

}  // namespace oa

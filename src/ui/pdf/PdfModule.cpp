// The PDF module: QPdfView showing a QPdfDocument it owns. Exports only its entry function.
#include <QPdfDocument>
#include <QPdfView>
#include <QPointer>
#include <QScrollBar>

#include "ui/platform/PdfBackend.h"

namespace oa {

namespace {

class OwningPdfView : public QPdfView {
public:
    explicit OwningPdfView(QPdfDocument* document) : document_(document) {
        document_->setParent(this);
        setDocument(document_);
        setPageMode(QPdfView::PageMode::MultiPage);
        setZoomMode(QPdfView::ZoomMode::FitToWidth);
        // Pages fitted to the width: a vertical scroll bar that came and went with the height
        // would change the width, the height with it, and never settle (a short document).
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    ~OwningPdfView() override {
        // The view lets go of the document before either goes: a document that closes under a
        // view being destroyed signals into it.
        setDocument(nullptr);
        document_->close();
    }

    int pageCount() const { return document_->pageCount(); }

private:
    QPdfDocument* document_;
};

class PdfModule : public PdfBackend {
public:
    QWidget* createView(const QString& path) override {
        auto* document = new QPdfDocument;
        if (document->load(path) != QPdfDocument::Error::None || document->pageCount() < 1) {
            delete document;
            return nullptr;
        }
        return new OwningPdfView(document);
    }

    int pageCount(const QWidget* view) const override {
        const auto* pdf = dynamic_cast<const OwningPdfView*>(view);
        return pdf ? pdf->pageCount() : 0;
    }
};

}  // namespace

}  // namespace oa

// The module's entry: the backend as a PdfBackend*, or null for another version.
extern "C" Q_DECL_EXPORT void* oa_pdf_backend(int version) {
    if (version != oa::kPdfBackendVersion) {
        return nullptr;
    }
    static oa::PdfBackend* backend = new oa::PdfModule;  // lives with the process
    return backend;
}

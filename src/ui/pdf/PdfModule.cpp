// The PDF module: QPdfView showing a QPdfDocument it owns. Exports only its entry function.
#include <QGuiApplication>
#include <QPdfDocument>
#include <QPdfView>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "ui/platform/PdfBackend.h"

namespace oa {

namespace {

// The tallest page's height over its width: fitted to a width of w pixels, it is drawn w * w *
// this pixels large. 0 for a document with a page of no width.
double tallestShape(const QPdfDocument& document) {
    double tallest = 0;
    for (int page = 0; page < document.pageCount(); ++page) {
        const QSizeF points = document.pagePointSize(page);
        if (points.width() <= 0) {
            return 0;
        }
        tallest = std::max(tallest, points.height() / points.width());
    }
    return tallest;
}

// The widest a page of that shape may be drawn, in pixels, within the budget.
double widestWithinBudget(double shape) {
    return std::sqrt(static_cast<double>(PdfBackend::kMaxPagePixels) / shape);
}

class OwningPdfView : public QPdfView {
public:
    OwningPdfView(QPdfDocument* document, double shape) : document_(document), shape_(shape) {
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

protected:
    // A view grown wider than the document was accepted for zooms out instead: the renderer
    // draws each page whole, however little of it is on the screen.
    void resizeEvent(QResizeEvent* event) override {
        const double dpr = devicePixelRatioF();
        const double widest = widestWithinBudget(shape_) * 0.9;
        if (event->size().width() * dpr > widest) {
            double pointWidth = 0;
            for (int page = 0; page < document_->pageCount(); ++page) {
                pointWidth = std::max(pointWidth, document_->pagePointSize(page).width());
            }
            // The view's own scale: points times the screen's logical dots per point.
            const QScreen* screen = QGuiApplication::primaryScreen();
            const double dotsPerPoint = screen ? screen->logicalDotsPerInch() / 72.0 : 1.0;
            setZoomMode(QPdfView::ZoomMode::Custom);
            setZoomFactor(widest / dpr / (pointWidth * dotsPerPoint));
        } else if (zoomMode() == QPdfView::ZoomMode::Custom) {
            setZoomMode(QPdfView::ZoomMode::FitToWidth);
        }
        QPdfView::resizeEvent(event);
    }

private:
    QPdfDocument* document_;
    double shape_;
};

class PdfModule : public PdfBackend {
public:
    QWidget* createView(const QString& path, int widthPixels) override {
        auto* document = new QPdfDocument;
        if (document->load(path) != QPdfDocument::Error::None || document->pageCount() < 1) {
            delete document;
            return nullptr;
        }
        const double shape = tallestShape(*document);
        if (shape <= 0 || std::max(widthPixels, 1) > widestWithinBudget(shape)) {
            qInfo("pdf: a page fitted to %d pixels would exceed the budget", widthPixels);
            document->close();
            delete document;
            return nullptr;
        }
        return new OwningPdfView(document, shape);
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

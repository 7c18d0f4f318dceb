// The client's modules: found only where they are looked for, a file that is not the module is
// refused with its reason, without the web engine module a web view fails every load with a
// clear message instead of crashing, and the PDF module shows the pages of a real PDF. This
// program never loads a module by itself: its OA_MODULE_DIR points at an empty folder.
#include <QAbstractScrollArea>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "ui/platform/ClientModule.h"
#include "ui/platform/PdfBackend.h"
#include "ui/platform/WebEngine.h"
#include "ui/platform/WebEngineBackend.h"
#include "ui/platform/WebView.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class ClientModuleTest : public QObject {
    Q_OBJECT

    QTemporaryDir empty_;

private slots:
    void initTestCase() {
        QVERIFY(empty_.isValid());
        qputenv("OA_MODULE_DIR", empty_.path().toUtf8());
    }

    void withoutTheModuleEveryLoadFailsWithTheReason() {
        WebView view;
        QVERIFY(!view.hasEngine());
        QSignalSpy started(&view, &WebView::didStartLoad);
        QSignalSpy failed(&view, &WebView::didFailLoad);
        view.loadRequest(QUrl(QStringLiteral("http://127.0.0.1:1/mobile/")));
        QVERIFY(failed.wait(2000));
        QCOMPARE(started.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), QString::fromUtf8(kWebEngineMissing));
        QCOMPARE(view.url(), QUrl(QStringLiteral("http://127.0.0.1:1/mobile/")));
        QVERIFY(!webProfileCreated());
        QVERIFY(webEngineLoadError().contains(empty_.path()));
        // A script has nowhere to run: its callback never comes, nothing crashes.
        bool answered = false;
        view.runJavaScript(QStringLiteral("1"), [&](const QVariant&) { answered = true; });
        QTest::qWait(50);
        QVERIFY(!answered);
    }

    void aFileThatIsNotTheModuleIsRefusedAndTheRealOneLoads() {
        QTemporaryDir dir;
        const QString fake = dir.filePath(QStringLiteral("oa_webengine.so"));
        QFile file(fake);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a shared object\n");
        file.close();
        const QString missing = dir.filePath(QStringLiteral("missing/oa_webengine.so"));

        QString error;
        QVERIFY(!loadWebEngineModule({missing, fake}, &error));
        QVERIFY2(error.contains(missing) && error.contains(QStringLiteral("not found")),
                 qPrintable(error));
        QVERIFY2(error.contains(fake), qPrintable(error));

        // The real module after them: loaded, and nothing of the engine started by loading.
        WebEngineBackend* backend =
            loadWebEngineModule({missing, fake, QStringLiteral(OA_WEBENGINE_MODULE_FILE)}, &error);
        QVERIFY(backend);
        QVERIFY(!backend->started());
        QVERIFY(!backend->profile());
    }

    void thePdfModuleShowsEveryPageAndRefusesWhatIsNoPdf() {
        QVERIFY(!pdfBackend());  // not in OA_MODULE_DIR: the viewer offers the file instead

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("two.pdf"));
        {
            QPdfWriter writer(path);
            QPainter painter(&writer);
            painter.drawText(100, 100, QStringLiteral("第一页"));
            writer.newPage();
            painter.drawText(100, 100, QStringLiteral("第二页"));
        }
        const QString text = dir.filePath(QStringLiteral("text.pdf"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4 but nothing more\n");
        file.close();

        QString error;
        auto* pdf = loadClientModule<PdfBackend>({QStringLiteral(OA_PDF_MODULE_FILE)},
                                                 kPdfBackendEntry, kPdfBackendVersion, &error);
        QVERIFY2(pdf, qPrintable(error));
        QVERIFY(!pdf->createView(text, 640));
        QVERIFY(!pdf->createView(dir.filePath(QStringLiteral("missing.pdf")), 640));
        std::unique_ptr<QWidget> view(pdf->createView(path, 640));
        QVERIFY(view);
        QCOMPARE(pdf->pageCount(view.get()), 2);
        QVERIFY(qobject_cast<QAbstractScrollArea*>(view.get()));
        // Asked of a widget it did not make, it counts nothing.
        QWidget other;
        QCOMPARE(pdf->pageCount(&other), 0);
    }
};

}  // namespace oa

OA_QT_TEST(ClientModuleTest)
#include "ClientModuleTest.moc"

// The web engine module: found only where it is looked for, a file that is not the module is
// refused with its reason, and without the module a web view fails every load with a clear
// message instead of crashing. This program never loads the module through a web view: its
// OA_MODULE_DIR points at an empty folder.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/platform/WebEngine.h"
#include "ui/platform/WebEngineBackend.h"
#include "ui/platform/WebView.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class WebEngineModuleTest : public QObject {
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
};

}  // namespace oa

OA_QT_TEST(WebEngineModuleTest)
#include "WebEngineModuleTest.moc"

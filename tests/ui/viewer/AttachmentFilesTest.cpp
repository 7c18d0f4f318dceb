// Where the viewer's files go: a fresh name in tmp/ per download, the name an address proposes
// for saving (never a path out of the folder), free names beside existing files, and copies that
// are complete or absent.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "core/platform/PrivatePath.h"
#include "support/TempHome.h"
#include "ui/controller/main/AttachmentFiles.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class AttachmentFilesTest : public QObject {
    Q_OBJECT

private slots:
    void downloadsGetDistinctNamesInTmp() {
        test::TempHome home;
        const QString tmp = QString::fromStdString(home.paths().temporary().string());
        QDir(tmp).removeRecursively();  // made again when missing
        const QString a = AttachmentFiles::newDownloadPath(QStringLiteral("合影.png"));
        const QString b = AttachmentFiles::newDownloadPath(QStringLiteral("合影.png"));
        QVERIFY(a != b);
        QCOMPARE(QFileInfo(a).absolutePath(), QFileInfo(tmp).absoluteFilePath());
        QVERIFY(QFileInfo(tmp).isDir());
        QVERIFY(a.endsWith(".png"));
        QVERIFY(QFileInfo(AttachmentFiles::newDownloadPath(QString())).suffix().isEmpty());
    }

    void attachmentNameFromTheAddress_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("name");
        QTest::newRow("query field, decoded")
            << "http://h/mobile/inc/attach_file.php?P=S&ATTACHMENT_ID=3&ATTACHMENT_NAME="
               "%E5%90%88%E5%BD%B1.png"
            << "合影.png";
        QTest::newRow("path") << "http://h/files/plan.pdf"
                              << "plan.pdf";
        QTest::newRow("folders dropped") << "http://h/a.php?ATTACHMENT_NAME=..%2F..%2Fetc%2Fpasswd"
                                         << "passwd";
        QTest::newRow("backslash folders") << "http://h/a.php?ATTACHMENT_NAME=a%5Cb.txt"
                                           << "b.txt";
        QTest::newRow("dot dot") << "http://h/a.php?ATTACHMENT_NAME=.."
                                 << "";
        QTest::newRow("controls") << "http://h/a.php?ATTACHMENT_NAME=a%01b%3F.txt"
                                  << "a_b_.txt";
        QTest::newRow("nothing") << "http://h/"
                                 << "";
    }

    void attachmentNameFromTheAddress() {
        QFETCH(QString, url);
        QFETCH(QString, name);
        QCOMPARE(AttachmentFiles::attachmentName(url), name);
    }

    void freePathKeepsExistingFiles() {
        QTemporaryDir dir;
        QCOMPARE(AttachmentFiles::freePath(dir.path(), "p.png"), dir.filePath("p.png"));
        QFile(dir.filePath("p.png")).open(QIODevice::WriteOnly);
        QFile(dir.filePath("p (2).png")).open(QIODevice::WriteOnly);
        QCOMPARE(AttachmentFiles::freePath(dir.path(), "p.png"), dir.filePath("p (3).png"));
    }

    void copyIsCompleteOrAbsent() {
        QTemporaryDir dir;
        QFile source(dir.filePath("s.bin"));
        QVERIFY(source.open(QIODevice::WriteOnly));
        const QByteArray bytes(200000, 'x');
        source.write(bytes);
        source.close();
        QVERIFY(AttachmentFiles::copyComplete(source.fileName(), dir.filePath("new/t.bin")));
        QFile target(dir.filePath("new/t.bin"));
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), bytes);
        // Under the home's private umask, the copy still gets the user's own mode.
        const mode_t before = ::umask(022);
        PrivatePath::restrictNewFiles();
        QVERIFY(AttachmentFiles::copyComplete(source.fileName(), dir.filePath("shared.bin")));
        struct stat copied {};
        QCOMPARE(::stat(QFile::encodeName(dir.filePath("shared.bin")).constData(), &copied), 0);
        QCOMPARE(copied.st_mode & 0777, mode_t(0644));
        ::umask(before);
        // A missing source leaves no file behind.
        QVERIFY(!AttachmentFiles::copyComplete(dir.filePath("gone.bin"), dir.filePath("u.bin")));
        QVERIFY(!QFile::exists(dir.filePath("u.bin")));
    }
};

}  // namespace oa

OA_QT_TEST(AttachmentFilesTest)
#include "AttachmentFilesTest.moc"

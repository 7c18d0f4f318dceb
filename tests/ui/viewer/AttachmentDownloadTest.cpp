// The attachment viewer against a loopback server: what a download shows (picture fitted in the
// screen, PDF pages, "无法预览此文件"), its progress, its failures ("下载失败" with nothing left in
// tmp/), leaving the screen mid-download, saving to the album and saving as.
#include <QAbstractScrollArea>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <string>

#include "support/HttpTestServer.h"
#include "support/TempHome.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/main/PictureGestures.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

using Content = AttachmentViewController::Content;

std::string png(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string pdf(int pages) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) {
                writer.newPage();
            }
            painter.drawText(100, 100, QStringLiteral("Page %1").arg(page));
        }
    }
    return bytes.toStdString();
}

// One page of `points`, with a line across it.
std::string pdfPage(const QSizeF& points) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(points, QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        painter.drawLine(0, 0, writer.width(), writer.height());
    }
    return bytes.toStdString();
}

std::string header(std::size_t length, const std::string& type = "image/png") {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Counts how often a widget is shown or hidden.
struct ShowHideCounter : QObject {
    explicit ShowHideCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            ++changes;
        }
        return false;
    }
    int changes = 0;
};

}  // namespace

class AttachmentDownloadTest : public QObject {
    Q_OBJECT

private:
    // A shown 320 x 480 window with a navigation stack, the app's home in a fresh folder and a
    // loopback server.
    struct Screen {
        test::TempHome home;
        test::HttpTestServer server;
        Window window{QSize(320, 480)};
        NavigationController* nav;

        Screen() : nav(new NavigationController(new ViewController)) {
            nav->setTransitionDuration(0);
            window.setRootViewController(nav);
            window.makeKeyAndVisible();
        }

        // Pushes a viewer of `category` for `path` on the server.
        AttachmentViewController* open(int category, const std::string& path) {
            auto* viewer = new AttachmentViewController;
            viewer->setAttachmentCategory(category);
            viewer->setAttachmentURL(server.url(path));
            nav->pushViewController(viewer, false);
            return viewer;
        }

        QStringList tmpFiles() const {
            return QDir(QString::fromStdString(home.paths().temporary().string()))
                .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        }
    };

    static bool waitFor(AttachmentViewController* viewer, Content content) {
        return QTest::qWaitFor([&] { return viewer->content() == content; }, 10000);
    }

private slots:
    void init() { ProgressHUD::resetForTesting(); }

    void pictureIsFittedIntoTheScreenAndCentred() {
        Screen screen;
        screen.server.setReply("/tall.png", {200, {{"Content-Type", "image/png"}}, png(300, 1200)});
        auto* viewer = screen.open(2, "/tall.png");
        QVERIFY(waitFor(viewer, Content::Picture));
        const QSize area = viewer->view()->size();
        QCOMPARE(area, QSize(320, 436));  // the window below the navigation bar
        const QRectF expected = PictureGestures::fittedFrame(QSizeF(300, 1200), QSizeF(area));
        QCOMPARE(viewer->stage()->gestures().frame(), expected);
        QCOMPARE(viewer->stage()->imageView()->geometry(), QRect(106, 0, 109, 436));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        // Category 2 shows the picture without "保存"; the request was a plain GET.
        QVERIFY(!viewer->rightBarButtonItem());
        QCOMPARE(screen.server.requests().size(), std::size_t{1});
        QCOMPARE(screen.server.requests()[0].method, std::string("GET"));
        // The picture stays in tmp/ while shown, under a name of its own.
        QCOMPARE(screen.tmpFiles().size(), 1);
        QVERIFY(screen.tmpFiles()[0].endsWith(".png"));
        QVERIFY(!screen.tmpFiles()[0].endsWith(".part"));
    }

    // Category 1 offers "保存" once the picture shows, not while it downloads.
    void categoryOneOffersSave() {
        Screen screen;
        screen.server.setReply("/a.png", {200, {}, png(20, 20)});
        auto* viewer = screen.open(1, "/a.png");
        QVERIFY(!viewer->rightBarButtonItem());
        QVERIFY(waitFor(viewer, Content::Picture));
        QVERIFY(viewer->saveButton());
        QCOMPARE(viewer->rightBarButtonItem(), viewer->saveButton());
        QCOMPARE(viewer->saveButton()->text(), QStringLiteral("保存"));
    }

    void pacedDownloadReportsProgressAsItGoes() {
        Screen screen;
        const std::string photo = png(1200, 900);
        screen.server.setHandler("/photo.png", [&photo](const test::CapturedRequest&,
                                                        test::HttpTestServer::Exchange& exchange) {
            exchange.write(header(photo.size()));
            const std::size_t step = photo.size() / 5 + 1;
            for (std::size_t at = 0; at < photo.size(); at += step) {
                exchange.write(std::string_view(photo).substr(at, step));
                if (!exchange.sleepFor(std::chrono::milliseconds(250))) {
                    return;
                }
            }
        });
        auto* viewer = new AttachmentViewController;
        viewer->setAttachmentCategory(1);
        viewer->setAttachmentURL(screen.server.url("/photo.png"));
        QSignalSpy progress(viewer, &AttachmentViewController::downloadProgress);
        QList<double> rings;
        connect(viewer, &AttachmentViewController::downloadProgress, this,
                [&rings] { rings << ProgressHUD::progress().value_or(-1); });
        screen.nav->pushViewController(viewer, false);
        QVERIFY(waitFor(viewer, Content::Picture));
        QVERIFY2(progress.size() >= 2, qPrintable(QString::number(progress.size())));
        // Part of the photo first, all of it last, each against the announced length.
        QVERIFY(progress.first().at(0).toLongLong() < static_cast<qint64>(photo.size()));
        QCOMPARE(progress.last().at(0).toLongLong(), static_cast<qint64>(photo.size()));
        for (const auto& call : progress) {
            QCOMPARE(call.at(1).toLongLong(), static_cast<qint64>(photo.size()));
        }
        QVERIFY(rings.first() > 0 && rings.first() < 1);
        QCOMPARE(rings.last(), 1.0);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
    }

    void failedDownloadsSayDownloadFailedAndLeaveNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("cut halfway") << "cut";
        QTest::newRow("404") << "404";
        QTest::newRow("500 with a picture as its body") << "500";
    }

    void failedDownloadsSayDownloadFailedAndLeaveNothing() {
        QFETCH(QString, kind);
        Screen screen;
        const std::string picture = png(200, 100);
        if (kind == "cut") {
            screen.server.setHandler(
                "/a.png", test::HttpTestServer::rawThenClose(
                              header(picture.size()) + picture.substr(0, picture.size() / 2)));
        } else if (kind == "500") {
            screen.server.setReply("/a.png", {500, {{"Content-Type", "image/png"}}, picture});
        }  // else no reply for the path: 404
        auto* viewer = screen.open(1, "/a.png");
        QVERIFY(waitFor(viewer, Content::Failed));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("下载失败"));
        QVERIFY(!viewer->stage());
        // Nothing to save; the download can be tried again, and then it shows the picture.
        QVERIFY(!viewer->rightBarButtonItem());
        QVERIFY(viewer->retryButton() && viewer->retryButton()->isVisibleTo(viewer->view()));
        QCOMPARE(viewer->retryButton()->text(), QStringLiteral("重新下载"));
        QTRY_COMPARE(screen.tmpFiles(), QStringList());
        screen.server.setReply("/a.png", {200, {{"Content-Type", "image/png"}}, picture});
        viewer->retryButton()->click();
        QVERIFY(waitFor(viewer, Content::Picture));
        QVERIFY(viewer->saveButton());
    }

    // A document link (category 0) whose download the server fails: the client's own failure,
    // never the server's text, and the download can be tried again.
    void aFailedDocumentDownloadSaysDownloadFailed() {
        Screen screen;
        screen.server.setReply(
            "/mobile/inc/attach_file.php",
            {500, {{"Content-Type", "text/plain"}}, "ERROR: failure switched on for this page"});
        auto* viewer =
            screen.open(0, "/mobile/inc/attach_file.php?ATTACHMENT_ID=5&ATTACHMENT_NAME=a.zip");
        QVERIFY(waitFor(viewer, Content::Failed));
        QCOMPARE(ProgressHUD::status(), QStringLiteral("下载失败"));
        QVERIFY(viewer->retryButton() && viewer->retryButton()->isVisibleTo(viewer->view()));
    }

    // A text file shows under its name with "另存为…", which proposes that name.
    void aTextAttachmentShowsUnderItsNameWithSaveAs() {
        Screen screen;
        const QByteArray text = QStringLiteral("第一步：解压\n第二步：运行").toUtf8();
        screen.server.setReply(
            "/mobile/inc/attach_file.php",
            {200, {{"Content-Type", "text/plain; charset=utf-8"}}, text.toStdString()});
        const QString name = QStringLiteral("安装说明.txt");
        auto* viewer =
            screen.open(0, "/mobile/inc/attach_file.php?ATTACHMENT_ID=6&ATTACHMENT_NAME=" +
                               QUrl::toPercentEncoding(name).toStdString());
        QVERIFY(waitFor(viewer, Content::PlainText));
        QCOMPARE(viewer->title(), name);
        auto* shown = viewer->view()->findChild<QPlainTextEdit*>();
        QVERIFY(shown && shown->isVisibleTo(viewer->view()));
        QCOMPARE(shown->toPlainText().toUtf8(), text);
        QCOMPARE(qobject_cast<QPushButton*>(viewer->rightBarButtonItem())->text(),
                 QStringLiteral("另存为…"));
        QTemporaryDir out;
        QString asked;
        viewer->setSaveAsPathProvider([&](const QString& suggested) {
            asked = suggested;
            return out.filePath(suggested);
        });
        qobject_cast<QPushButton*>(viewer->rightBarButtonItem())->click();
        QCOMPARE(asked, name);
        QCOMPARE(readAll(out.filePath(name)), text);
    }

    void leavingMidDownloadCancelsIt() {
        Screen screen;
        const std::string photo = png(800, 600);
        screen.server.setHandler("/photo.png", [&photo](const test::CapturedRequest&,
                                                        test::HttpTestServer::Exchange& exchange) {
            exchange.write(header(photo.size()));
            exchange.write(std::string_view(photo).substr(0, photo.size() / 3));
            exchange.holdUntilClosed();
        });
        QPointer<AttachmentViewController> viewer = screen.open(2, "/photo.png");
        QSignalSpy progress(viewer.data(), &AttachmentViewController::downloadProgress);
        QVERIFY(progress.wait(10000));
        QTRY_COMPARE(screen.tmpFiles().size(), 1);  // the ".part"
        QVERIFY(screen.tmpFiles()[0].endsWith(".part"));
        // Sliding out, the screen is still there but its download is over at once.
        screen.nav->setTransitionDuration(200);
        screen.nav->popViewController(true);
        QVERIFY(viewer);
        QVERIFY(!viewer->downloadRequest());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QTRY_VERIFY(viewer.isNull());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        // The server sees the connection closed; nothing of the download is left.
        QTRY_COMPARE(screen.server.inFlight(), 0);
        QTRY_COMPARE(screen.tmpFiles(), QStringList());
        QTest::qWait(100);
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
    }

    void closingTheViewerRemovesTheShownFile() {
        Screen screen;
        screen.server.setReply("/a.png", {200, {}, png(20, 20)});
        QPointer<AttachmentViewController> viewer = screen.open(2, "/a.png");
        QVERIFY(waitFor(viewer, Content::Picture));
        QCOMPARE(screen.tmpFiles().size(), 1);
        screen.nav->popViewController(false);
        QTRY_VERIFY(viewer.isNull());
        QCOMPARE(screen.tmpFiles(), QStringList());
    }

    void pdfShowsItsPages_data() {
        QTest::addColumn<int>("pages");
        QTest::newRow("one page") << 1;
        QTest::newRow("three pages") << 3;
    }

    void pdfShowsItsPages() {
        QFETCH(int, pages);
        Screen screen;
        screen.server.setReply("/mobile/inc/attach_file.php",
                               {200, {{"Content-Type", "application/pdf"}}, pdf(pages)});
        auto* viewer = screen.open(2,
                                   "/mobile/inc/attach_file.php?ATTACHMENT_ID=7&"
                                   "ATTACHMENT_NAME=%E6%96%B9%E6%A1%88.pdf&P=S");
        QVERIFY(waitFor(viewer, Content::Pdf));
        QCOMPARE(viewer->pdfPageCount(), pages);
        QVERIFY(viewer->pdfView()->isVisibleTo(viewer->view()));
        QCOMPARE(viewer->attachmentName(), QStringLiteral("方案.pdf"));
        // The page fitted to the width settles: its scroll bar does not come and go for ever
        // (which keeps the event loop busy and the screen frozen).
        auto* area = qobject_cast<QAbstractScrollArea*>(viewer->pdfView());
        QVERIFY(area);
        ShowHideCounter bar(area->verticalScrollBar());
        QTest::qWait(300);
        QVERIFY2(bar.changes < 4, qPrintable(QString::number(bar.changes)));
    }

    // A page drawn whole at the screen's width must fit in 64 MB: a strip of 5 by 14,400 points
    // (a few hundred bytes of PDF) would take about a gigabyte.
    void pdfPageBeyondThePixelBudgetIsNotPreviewed_data() {
        QTest::addColumn<QSizeF>("points");
        QTest::addColumn<bool>("shown");
        QTest::newRow("strip") << QSizeF(5, 14400) << false;
        QTest::newRow("long receipt") << QSizeF(200, 4000) << true;
    }

    void pdfPageBeyondThePixelBudgetIsNotPreviewed() {
        QFETCH(QSizeF, points);
        QFETCH(bool, shown);
        Screen screen;
        screen.server.setReply("/p.pdf", {200, {}, pdfPage(points)});
        auto* viewer = screen.open(2, "/p.pdf");
        QVERIFY(waitFor(viewer, shown ? Content::Pdf : Content::Unviewable));
        QCOMPARE(viewer->pdfPageCount(), shown ? 1 : 0);
    }

    void bytesThatShowNothingOfferSaveAs_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("zip") << QByteArray("PK\x03\x04 not really an archive", 30);
        QTest::newRow("broken png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDRjunk", 23);
        QTest::newRow("empty") << QByteArray();
    }

    void bytesThatShowNothingOfferSaveAs() {
        QFETCH(QByteArray, body);
        Screen screen;
        screen.server.setReply("/f.zip", {200, {}, body.toStdString()});
        auto* viewer = screen.open(1, "/f.zip");
        QVERIFY(waitFor(viewer, Content::Unviewable));
        QVERIFY(viewer->saveAsButton());
        QVERIFY(viewer->saveAsButton()->isVisibleTo(viewer->view()));
        QCOMPARE(viewer->saveAsButton()->text(), QStringLiteral("另存为…"));
        // "保存" of category 1 has no picture to save: not offered, and refused if called.
        QVERIFY(!viewer->rightBarButtonItem());
        viewer->saveToPhtoto();
        QCOMPARE(ProgressHUD::status(), QStringLiteral("保存失败！"));
    }

    void pictureBeyondTheAllocationLimitIsNotShownAsBlank() {
        Screen screen;
        screen.server.setReply("/big.png", {200, {}, png(1500, 1500)});  // 9 MB decoded
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1);
        auto* viewer = screen.open(2, "/big.png");
        const bool shown = waitFor(viewer, Content::Unviewable);
        QImageReader::setAllocationLimit(limit);
        QVERIFY(shown);
        QVERIFY(!viewer->stage() || !viewer->stage()->gestures().hasPicture());
    }

    // A PNG of 6,000 x 6,000 pixels (144 MB decoded, over the reader's allocation limit) is
    // decoded no larger than it can be pinched up to, and fitted into the screen like any picture.
    void hugePictureIsShownScaledDown() {
        Screen screen;
        screen.server.setReply("/huge.png", {200, {}, png(6000, 6000)});
        auto* viewer = screen.open(2, "/huge.png");
        QVERIFY(QTest::qWaitFor([&] { return viewer->content() != Content::Loading; }, 60000));
        QCOMPARE(viewer->content(), Content::Picture);
        const QSize shown = viewer->view()->size();
        const int side = std::min(shown.width(), shown.height());
        QCOMPARE(viewer->stage()->gestures().frame().size(), QSizeF(side, side));
        const QSize decoded = viewer->stage()->imageView()->pixmap().size();
        QVERIFY2(decoded.width() <= PictureGestures::kMaxWidth * 2 && decoded.width() >= side,
                 qPrintable(QString::number(decoded.width())));
    }

    void saveAsWritesTheSameBytes() {
        Screen screen;
        QByteArray body;
        for (int i = 0; i < 70000; ++i) {
            body += static_cast<char>(i * 7);
        }
        screen.server.setReply("/data.bin", {200, {}, body.toStdString()});
        QTemporaryDir out;
        QString asked;
        auto* viewer = screen.open(2, "/data.bin");
        viewer->setSaveAsPathProvider([&](const QString& suggested) {
            asked = suggested;
            return out.filePath("copy.bin");
        });
        QVERIFY(waitFor(viewer, Content::Unviewable));
        viewer->saveAsButton()->click();
        QCOMPARE(asked, QStringLiteral("data.bin"));
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Success);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("已保存！"));
        QCOMPARE(readAll(out.filePath("copy.bin")), body);

        // A place that cannot be written: a folder inside a plain file.
        viewer->setSaveAsPathProvider(
            [&](const QString&) { return out.filePath("copy.bin/inside.bin"); });
        viewer->saveAs();
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("保存失败！"));
        // Cancelling the dialog writes nothing and says nothing.
        ProgressHUD::resetForTesting();
        viewer->setSaveAsPathProvider([](const QString&) { return QString(); });
        viewer->saveAs();
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
    }

    // 90 Chinese characters and ".bin" are 274 bytes, more than a file name may hold: the name
    // proposed is cut to 120 bytes, keeping the extension, and the file saves under it.
    void longAttachmentNameSavesShortened() {
        Screen screen;
        const QString longName = QString(90, QChar(0x6587)) + QStringLiteral(".bin");
        screen.server.setReply("/a.php", {200, {}, std::string("not a picture")});
        QTemporaryDir out;
        QString asked;
        auto* viewer = screen.open(
            2, "/a.php?ATTACHMENT_NAME=" + QUrl::toPercentEncoding(longName).toStdString());
        viewer->setSaveAsPathProvider([&](const QString& suggested) {
            asked = suggested;
            return out.filePath(suggested);
        });
        QVERIFY(waitFor(viewer, Content::Unviewable));
        viewer->saveAs();
        QCOMPARE(asked, QString(38, QChar(0x6587)) + QStringLiteral(".bin"));
        QCOMPARE(ProgressHUD::status(), QStringLiteral("已保存！"));
        QCOMPARE(readAll(out.filePath(asked)), QByteArray("not a picture"));
    }

    void saveToTheAlbum() {
        Screen screen;
        const std::string picture = png(40, 30);
        screen.server.setReply("/p.png", {200, {}, picture});
        QTemporaryDir dir;
        const QString album = dir.filePath("album");  // made when missing
        qputenv("OA_ALBUM", album.toUtf8());
        auto* viewer = screen.open(1, "/p.png");
        QVERIFY(waitFor(viewer, Content::Picture));
        viewer->saveButton()->click();
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Success);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("已保存到相册！"));
        QCOMPARE(readAll(QDir(album).filePath("p.png")), QByteArray::fromStdString(picture));
        // Again: a second file beside the first, which stays.
        viewer->saveToPhtoto();
        QCOMPARE(QDir(album).entryList(QDir::Files), QStringList({"p (2).png", "p.png"}));

        // An album that cannot be made: its parent is a plain file.
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("OA_ALBUM", dir.filePath("file/album").toUtf8());
        viewer->saveToPhtoto();
        qunsetenv("OA_ALBUM");
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Error);
        QCOMPARE(ProgressHUD::status(), QStringLiteral("保存失败！"));
    }
};

}  // namespace oa

OA_QT_TEST(AttachmentDownloadTest)
#include "AttachmentDownloadTest.moc"

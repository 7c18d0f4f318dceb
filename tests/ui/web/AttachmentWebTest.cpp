// The attachment viewer's category 0 on the real engine: the address loads in the web view and
// nothing is downloaded by the viewer itself, unless the page turns into a file (a PDF), which
// the viewer then fetches and shows in place. And the demo server's own attachment links, as the
// tour finds them in the read pages, open in the viewer.
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QtTest>
#include <string>

#include "WebTest.h"
#include "app/TourAttachments.h"
#include "core/session/GlobalVar.h"
#include "support/HttpTestServer.h"
#include "support/TempHome.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/controller/main/PictureGestures.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

using Content = AttachmentViewController::Content;
constexpr int kLoadWaitMs = 30000;

std::string twoPagePdf() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        painter.drawText(100, 100, QStringLiteral("one"));
        writer.newPage();
        painter.drawText(100, 100, QStringLiteral("two"));
    }
    return bytes.toStdString();
}

// The requests the viewer's side made, leaving out what the engine asks for by itself.
QStringList pathsAsked(const test::HttpTestServer& server) {
    QStringList out;
    for (const auto& request : server.requests()) {
        if (request.path != "/favicon.ico") {
            out << QString::fromStdString(request.path);
        }
    }
    return out;
}

}  // namespace

class AttachmentWebTest : public QObject {
    Q_OBJECT

private:
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

        AttachmentViewController* open(const std::string& path) {
            auto* viewer = new AttachmentViewController;
            viewer->setAttachmentCategory(0);
            viewer->setAttachmentURL(server.url(path));
            nav->pushViewController(viewer, false);
            return viewer;
        }
    };

private slots:
    void init() { ProgressHUD::resetForTesting(); }

    void categoryZeroLoadsThePageAndDownloadsNothing() {
        Screen screen;
        screen.server.setReply("/mobile/page.php", {200,
                                                    {{"Content-Type", "text/html; charset=utf-8"}},
                                                    "<html><body><p>附件说明</p></body></html>"});
        auto* viewer = screen.open("/mobile/page.php");
        QVERIFY(viewer->webView());
        QSignalSpy finished(viewer->webView(), &WebView::didFinishLoad);
        QVERIFY(finished.wait(kLoadWaitMs));
        QCOMPARE(viewer->content(), Content::Web);
        QVERIFY(!viewer->downloadRequest());
        QVERIFY(!viewer->rightBarButtonItem());
        QCOMPARE(ProgressHUD::state(), ProgressHUD::State::Hidden);
        QCOMPARE(pathsAsked(screen.server), QStringList({"/mobile/page.php"}));
        QVERIFY(QDir(QString::fromStdString(screen.home.paths().temporary().string()))
                    .isEmpty(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void aPdfTheEngineHandsOverIsShownInPlace() {
        Screen screen;
        screen.server.setReply(
            "/mobile/doc.php",
            {200,
             {{"Content-Type", "application/pdf"},
              {"Content-Disposition", "inline; filename*=UTF-8''%E6%96%B9%E6%A1%88.pdf"}},
             twoPagePdf()});
        auto* viewer = screen.open("/mobile/doc.php?ATTACHMENT_ID=3&P=S");
        QTRY_COMPARE_WITH_TIMEOUT(viewer->content(), Content::Pdf, kLoadWaitMs);
        QCOMPARE(viewer->pdfPageCount(), 2);
        QVERIFY(viewer->pdfView()->isVisibleTo(viewer->view()));
        QVERIFY(!viewer->webView()->isVisibleTo(viewer->view()));
        QCOMPARE(viewer->attachmentName(), QStringLiteral("方案.pdf"));
    }

    // A page names its download as it likes: "另存为…" proposes the plain name only, never the
    // folders.
    void aPageDownloadNameIsReducedToAPlainName() {
        Screen screen;
        screen.server.setReply(
            "/mobile/page.php",
            {200,
             {{"Content-Type", "text/html; charset=utf-8"}},
             "<html><body><a id=\"d\" href=\"/f.bin\" download=\"../../../../tmp/x/pwn.sh\">"
             "file</a></body></html>"});
        screen.server.setReply(
            "/f.bin",
            {200, {{"Content-Type", "application/octet-stream"}}, std::string("#!/bin/sh\n")});
        auto* viewer = screen.open("/mobile/page.php");
        QSignalSpy finished(viewer->webView(), &WebView::didFinishLoad);
        QVERIFY(finished.wait(kLoadWaitMs));
        viewer->webView()->runJavaScript(QStringLiteral("document.getElementById('d').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(viewer->content(), Content::Unviewable, kLoadWaitMs);
        QCOMPARE(viewer->attachmentName(), QStringLiteral("pwn.sh"));
        QString asked;
        viewer->setSaveAsPathProvider([&](const QString& suggested) {
            asked = suggested;
            return QString();
        });
        viewer->saveAs();
        QCOMPARE(asked, QStringLiteral("pwn.sh"));
    }

    void demoServerAttachmentsOpenByTheirLinks() {
        QVERIFY(web::signIn());
        const TourAttachments found = findTourAttachments(
            web::demoServerAddress(), *GlobalVar::getInstance_global().session_id());
        QVERIFY(found.complete());
        QCOMPARE(found.picture.category, 1);
        QCOMPARE(found.photo.category, 1);
        QCOMPARE(found.pdf.category, 0);
        QCOMPARE(found.archive.category, 0);

        test::TempHome home;
        Window window{QSize(320, 480)};
        auto* nav = new NavigationController(new ViewController);
        nav->setTransitionDuration(0);
        window.setRootViewController(nav);
        window.makeKeyAndVisible();
        auto* viewer = new AttachmentViewController;
        viewer->setAttachmentCategory(found.picture.category);
        viewer->setAttachmentURL(found.picture.address);
        nav->pushViewController(viewer, false);
        QTRY_COMPARE_WITH_TIMEOUT(viewer->content(), Content::Picture, kLoadWaitMs);
        QCOMPARE(viewer->stage()->gestures().frame(),
                 PictureGestures::fittedFrame(QSizeF(300, 1200), QSizeF(viewer->view()->size())));
        QVERIFY(viewer->saveButton());
    }
};

}  // namespace oa

OA_QT_TEST(AttachmentWebTest)
#include "AttachmentWebTest.moc"

// Opening addresses: the desktop opener asks for a handler in a separate process and hands the
// address over only when one exists; without the query tool, a handler, or in time, it answers
// false. The fake records and answers as told. Nothing real is ever opened: the hand-over is
// replaced and the query tool is a script.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "ui/platform/DesktopUrlOpener.h"
#include "ui/platform/FakeUrlOpener.h"
#include "ui/support/QtTestRegistry.h"

using namespace std::chrono_literals;

namespace oa {

namespace {

// A stand-in for the query tool: records its arguments, prints `output` and exits with `code`
// (after `pause` seconds).
QString queryScript(const QTemporaryDir& dir, const QString& output, int code = 0, int pause = 0) {
    const QString path = dir.filePath(QStringLiteral("xdg-mime"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly)) {
        return {};
    }
    QString body = QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n").arg(dir.filePath("args"));
    if (pause > 0) {
        body += QStringLiteral("exec sleep %1\n").arg(pause);
    }
    if (!output.isEmpty()) {
        body += QStringLiteral("echo '%1'\n").arg(output);
    }
    body += QStringLiteral("exit %1\n").arg(code);
    script.write(body.toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QString argsOf(const QTemporaryDir& dir) {
    QFile file(dir.filePath("args"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

struct Outcome {
    std::optional<bool> opened;
    int calls = 0;
    bool answeredInsideOpen = false;
};

// Opens `url` and waits for the answer.
Outcome openAndWait(UrlOpener& opener, const QUrl& url) {
    Outcome outcome;
    bool returned = false;
    opener.open(url, [&](bool opened) {
        outcome.opened = opened;
        ++outcome.calls;
        outcome.answeredInsideOpen = !returned;
    });
    returned = true;
    (void)QTest::qWaitFor([&] { return outcome.opened.has_value(); }, 10000);
    QCoreApplication::processEvents();  // a second answer would come now
    return outcome;
}

}  // namespace

class UrlOpenerTest : public QObject {
    Q_OBJECT

private slots:
    void withoutTheQueryToolNothingOpens() {
        QList<QUrl> launched;
        DesktopUrlOpener opener(QStringLiteral("/nonexistent/xdg-mime"), [&](const QUrl& url) {
            launched.append(url);
            return true;
        });
        const Outcome outcome = openAndWait(opener, QUrl("tel:13800138000"));
        QCOMPARE(outcome.opened, std::optional<bool>(false));
        QCOMPARE(outcome.calls, 1);
        QVERIFY(!outcome.answeredInsideOpen);
        QVERIFY(launched.isEmpty());
    }

    void aHandlerIsAskedForBySchemeThenTheAddressHandedOver() {
        QTemporaryDir dir;
        QList<QUrl> launched;
        DesktopUrlOpener opener(queryScript(dir, "dialer.desktop"), [&](const QUrl& url) {
            launched.append(url);
            return true;
        });
        const Outcome outcome = openAndWait(opener, QUrl("tel:13800138000"));
        QCOMPARE(outcome.opened, std::optional<bool>(true));
        QCOMPARE(outcome.calls, 1);
        QVERIFY(!outcome.answeredInsideOpen);
        QCOMPARE(argsOf(dir), QString("query default x-scheme-handler/tel"));
        QCOMPARE(launched, QList<QUrl>({QUrl("tel:13800138000")}));

        // The scheme as the desktop names it: lower case.
        openAndWait(opener, QUrl("SMS:13800138000"));
        QVERIFY(argsOf(dir).endsWith("x-scheme-handler/sms"));
    }

    void noHandlerAFailedQueryOrAFailedHandOverIsFalse() {
        struct Case {
            const char* name;
            QString output;
            int code;
            bool launches;
        };
        const QList<Case> cases = {{"no handler", "", 0, true},
                                   {"query fails", "dialer.desktop", 3, true},
                                   {"handler refuses", "dialer.desktop", 0, false}};
        for (const Case& c : cases) {
            QTemporaryDir dir;
            int launched = 0;
            DesktopUrlOpener opener(queryScript(dir, c.output, c.code), [&](const QUrl&) {
                ++launched;
                return c.launches;
            });
            const Outcome outcome = openAndWait(opener, QUrl("tel:010-12345678"));
            QVERIFY2(outcome.opened == std::optional<bool>(false), c.name);
            QCOMPARE(outcome.calls, 1);
            QCOMPARE(launched, c.output.isEmpty() || c.code != 0 ? 0 : 1);
        }
    }

    void aQueryThatHangsIsAbandoned() {
        QTemporaryDir dir;
        int launched = 0;
        DesktopUrlOpener opener(
            queryScript(dir, "dialer.desktop", 0, 60),
            [&](const QUrl&) {
                ++launched;
                return true;
            },
            200ms);
        const Outcome outcome = openAndWait(opener, QUrl("tel:13800138000"));
        QCOMPARE(outcome.opened, std::optional<bool>(false));
        QCOMPARE(outcome.calls, 1);
        QCOMPARE(launched, 0);
    }

    void addressesWithoutASchemeAreNotQueried() {
        QTemporaryDir dir;
        DesktopUrlOpener opener(queryScript(dir, "x.desktop"), [](const QUrl&) { return true; });
        for (const QUrl& url : {QUrl(), QUrl("13800138000"), QUrl("-x:1")}) {
            const Outcome outcome = openAndWait(opener, url);
            QCOMPARE(outcome.opened, std::optional<bool>(false));
            QVERIFY(!outcome.answeredInsideOpen);
        }
        QCOMPARE(argsOf(dir), QString());
    }

    void theFakeRecordsAndAnswersAsTold() {
        auto fake = std::make_shared<FakeUrlOpener>();
        UrlOpener::setCurrent(fake);
        QCOMPARE(UrlOpener::current().get(), fake.get());
        Outcome first = openAndWait(*UrlOpener::current(), QUrl("tel:13800138000"));
        QCOMPARE(first.opened, std::optional<bool>(true));
        QVERIFY(!first.answeredInsideOpen);
        fake->setAnswer(false);
        QCOMPARE(openAndWait(*fake, QUrl("sms:13800138000")).opened, std::optional<bool>(false));
        QCOMPARE(fake->opened(), QList<QUrl>({QUrl("tel:13800138000"), QUrl("sms:13800138000")}));

        // Held: nothing is answered until told.
        fake->setHeld(true);
        QList<bool> answers;
        fake->open(QUrl("tel:1"), [&](bool opened) { answers.append(opened); });
        fake->open(QUrl("tel:2"), [&](bool opened) { answers.append(opened); });
        QCoreApplication::processEvents();
        QVERIFY(answers.isEmpty());
        QCOMPARE(fake->waiting(), 2);
        QCOMPARE(fake->answerHeld(true), 2);
        QCOMPARE(answers, QList<bool>({true, true}));
        QCOMPARE(fake->waiting(), 0);

        UrlOpener::setCurrent(nullptr);
        QVERIFY(dynamic_cast<DesktopUrlOpener*>(UrlOpener::current().get()));
    }
};

}  // namespace oa

OA_QT_TEST(UrlOpenerTest)
#include "UrlOpenerTest.moc"

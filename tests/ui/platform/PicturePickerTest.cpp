// Picking pictures: the file dialog "相册" lists pictures and hands back only a file that reads
// as one, a cancel hands back nothing, the multimedia module stays unloaded until a photo is
// asked for, and the fake answers from its queues in order. Answers always come after the call
// returned.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "ui/kit/ProgressHUD.h"
#include "ui/platform/DesktopPicturePicker.h"
#include "ui/platform/FakePicturePicker.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

// Whether the client's multimedia module or a Qt Multimedia backend (the plugin that talks to
// devices) is loaded in this process.
bool multimediaBackendLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return true;  // cannot tell: fail rather than pass unseen
    }
    const QByteArray text = maps.readAll();
    return text.contains("plugins/multimedia/") || text.contains("oa_multimedia");
}

QFileDialog* libraryDialog() {
    QFileDialog* found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            const auto widgets = QApplication::topLevelWidgets();
            for (QWidget* widget : widgets) {
                if (auto* dialog = qobject_cast<QFileDialog*>(widget);
                    dialog && dialog->isVisible()) {
                    found = dialog;
                }
            }
            return found != nullptr;
        },
        5000);
    return found;
}

struct Answer {
    std::optional<std::optional<QString>> value;  // unset until the callback ran
    int calls = 0;
    bool insideCall = false;
};

}  // namespace

class PicturePickerTest : public QObject {
    Q_OBJECT

private slots:
    void theLibraryHandsBackPicturesOnly() {
        QTemporaryDir dir;
        const QString picture = dir.filePath("photo.png");
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picture));
        const QString notAPicture = dir.filePath("notes.png");
        QFile text(notAPicture);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
        text.close();

        QWidget window;
        window.resize(320, 480);
        window.show();
        DesktopPicturePicker picker;

        struct Case {
            QString choose;  // empty: cancel
            std::optional<QString> expected;
            QString said;  // the error shown, if any
        };
        const QList<Case> cases = {{picture, picture},
                                   {notAPicture, std::nullopt, QStringLiteral("所选文件不是图片")},
                                   {QString(), std::nullopt}};
        for (const Case& c : cases) {
            ProgressHUD::resetForTesting();
            Answer answer;
            bool returned = false;
            picker.pickFromLibrary(
                [&](std::optional<QString> path) {
                    answer.value = path;
                    ++answer.calls;
                    answer.insideCall = !returned;
                },
                &window);
            returned = true;
            QFileDialog* dialog = libraryDialog();
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("相册"));
            // Qt's own texts in Chinese (once the translations are installed), and no larger
            // than the window it opens over.
            if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                              "/qtbase_zh_CN.qm")) {
                auto* buttons = dialog->findChild<QDialogButtonBox*>();
                QVERIFY(buttons && buttons->button(QDialogButtonBox::Cancel));
                QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("取消"));
            }
            QVERIFY(dialog->width() <= window.width() && dialog->height() <= window.height());
            QVERIFY(dialog->nameFilters().join(' ').contains("*.png"));
            QVERIFY(dialog->nameFilters().join(' ').contains("*.jpg"));
            if (c.choose.isEmpty()) {
                dialog->reject();
            } else {
                dialog->setDirectory(dir.path());
                dialog->selectFile(c.choose);
                static_cast<QDialog*>(dialog)->accept();  // the "Open" button
            }
            QTRY_VERIFY_WITH_TIMEOUT(answer.value.has_value(), 5000);
            QCoreApplication::processEvents();
            QCOMPARE(answer.calls, 1);
            QVERIFY(!answer.insideCall);
            QCOMPARE(*answer.value, c.expected);
            QCOMPARE(ProgressHUD::state() == ProgressHUD::State::Error, !c.said.isEmpty());
            QCOMPARE(ProgressHUD::status(), c.said);
        }
        ProgressHUD::resetForTesting();
        // Nothing so far needed Qt Multimedia.
        QVERIFY(!multimediaBackendLoaded());
    }

    void theFakeAnswersFromItsQueues() {
        FakePicturePicker picker;
        QList<std::optional<QString>> answers;
        auto record = [&](std::optional<QString> path) { answers.append(path); };

        picker.queueLibraryPick("/tmp/a.png");
        picker.queueLibraryPick(std::nullopt);
        picker.queueLibraryPick("/tmp/b.png");
        for (int i = 0; i < 4; ++i) {
            picker.pickFromLibrary(record);
        }
        QVERIFY(answers.isEmpty());  // from the event loop, not inside the call
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 4, 5000);
        QCOMPARE(answers, (QList<std::optional<QString>>{"/tmp/a.png", std::nullopt, "/tmp/b.png",
                                                         std::nullopt}));
        QCOMPARE(picker.libraryRequests(), 4);

        // No camera: a photo is nothing, and the queued one waits for a camera.
        answers.clear();
        picker.queuePhoto("/tmp/photo.png");
        QVERIFY(!picker.hasCamera());
        picker.takePhoto(record);
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 5000);
        QCOMPARE(answers.first(), std::nullopt);
        picker.setHasCamera(true);
        picker.takePhoto(record);
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 2, 5000);
        QCOMPARE(answers.last(), std::optional<QString>("/tmp/photo.png"));
        QCOMPARE(picker.photoRequests(), 2);
    }

    void theInstalledPickerIsTheOneInUse() {
        auto fake = std::make_shared<FakePicturePicker>(true);
        PicturePicker::setCurrent(fake);
        QCOMPARE(PicturePicker::current().get(), fake.get());
        PicturePicker::setCurrent(nullptr);
        QVERIFY(dynamic_cast<DesktopPicturePicker*>(PicturePicker::current().get()));
    }

    void withoutACameraAPhotoIsNothing() {
        DesktopPicturePicker picker;
        if (picker.hasCamera()) {
            QSKIP("this machine has a camera");
        }
        std::optional<std::optional<QString>> answer;
        picker.takePhoto([&](std::optional<QString> path) { answer = path; });
        QVERIFY(!answer.has_value());
        QTRY_VERIFY_WITH_TIMEOUT(answer.has_value(), 5000);
        QCOMPARE(*answer, std::nullopt);
    }
};

}  // namespace oa

OA_QT_TEST(PicturePickerTest)
#include "PicturePickerTest.moc"

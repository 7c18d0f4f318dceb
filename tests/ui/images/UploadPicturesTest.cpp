// The upload files made from picked pictures: small JPEG and PNG files go byte for byte, named
// and typed by what they hold; larger ones are scaled to a JPEG; the work runs off the main
// thread.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/transport/MimeTypes.h"
#include "ui/controller/write/UploadPictures.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

class UploadPicturesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;

    std::filesystem::path tmp() const {
        return std::filesystem::path(home_->path().toStdString()) / "tmp";
    }

    // Writes `picture` in `format` to `name` in the home, padded with zero bytes (which readers
    // ignore after the picture's end) to `atLeast` bytes; returns its path.
    QString source(const QString& name, const QImage& picture, const char* format,
                   qint64 atLeast = 0) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        if (bytes.size() < atLeast) {
            bytes.append(QByteArray(atLeast - bytes.size(), '\0'));
        }
        const QString path = home_->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return {};
        }
        return path;
    }

    static QByteArray bytesOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QImage filled(QSize size, QColor colour) {
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(colour);
        return picture;
    }

private slots:
    void init() { home_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() { home_.reset(); }

    void smallJpegAndPngKeepTheirBytes_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("type");
        QTest::newRow("JPEG") << "JPEG"
                              << "IMG_0001.JPG"
                              << "uploadedfile0.jpg"
                              << "image/jpeg";
        QTest::newRow("JPEG named .png") << "JPEG"
                                         << "photo.png"
                                         << "uploadedfile0.jpg"
                                         << "image/jpeg";
        QTest::newRow("PNG") << "PNG"
                             << "drawing.png"
                             << "uploadedfile0.png"
                             << "image/png";
    }

    void smallJpegAndPngKeepTheirBytes() {
        QFETCH(QString, format);
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(QString, type);
        const QString path =
            source(name, filled({640, 480}, Qt::darkCyan), format.toLatin1().constData());
        const std::optional<std::string> result =
            UploadPictures::storeFile(path.toStdString(), tmp());
        QVERIFY(result);
        QCOMPARE(QString::fromStdString(std::filesystem::path(*result).filename().string()),
                 stored);
        QCOMPARE(bytesOf(QString::fromStdString(*result)), bytesOf(path));
        const std::optional<PictureType> sniffed = MimeTypes::pictureOfFile(*result);
        QVERIFY(sniffed);
        QCOMPARE(QString::fromStdString(sniffed->contentType), type);
    }

    // Over the size limit (padding makes it so without a slow noise picture): a JPEG at most
    // 2048 pixels on its longest side, transparency on white, never scaled up.
    void largePicturesBecomeScaledJpegs_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("scaled");
        QTest::newRow("4032 x 3024 JPEG") << QSize(4032, 3024) << "JPEG" << QSize(2048, 1536);
        QTest::newRow("1500 x 4000 PNG") << QSize(1500, 4000) << "PNG" << QSize(768, 2048);
        QTest::newRow("100 x 80 JPEG") << QSize(100, 80) << "JPEG" << QSize(100, 80);
    }

    void largePicturesBecomeScaledJpegs() {
        QFETCH(QSize, size);
        QFETCH(QString, format);
        QFETCH(QSize, scaled);
        const QColor colour = format == "PNG" ? QColor(Qt::transparent) : QColor(Qt::blue);
        const QString path = source("large", filled(size, colour), format.toLatin1().constData(),
                                    UploadPictures::kMaxPictureBytes + 1);
        const std::optional<std::string> result =
            UploadPictures::storeFile(path.toStdString(), tmp());
        QVERIFY(result);
        QCOMPARE(std::filesystem::path(*result).filename().string(),
                 std::string("uploadedfile0.jpg"));
        QCOMPARE(MimeTypes::pictureOfFile(*result).value_or(PictureType{}).contentType,
                 std::string("image/jpeg"));
        QVERIFY(std::filesystem::file_size(*result) < 1024 * 1024);
        const QImage stored(QString::fromStdString(*result));
        QCOMPARE(stored.size(), scaled);
        const QColor seen = stored.pixelColor(scaled.width() / 2, scaled.height() / 2);
        const QColor expected = format == "PNG" ? QColor(Qt::white) : QColor(Qt::blue);
        QVERIFY2(std::abs(seen.red() - expected.red()) < 8 &&
                     std::abs(seen.blue() - expected.blue()) < 8,
                 qPrintable(seen.name()));
    }

    // The editors store in the background and get the result on the main thread.
    void storingInTheBackgroundAnswersOnTheMainThread() {
        const QString path = source("a.jpg", filled({64, 64}, Qt::red), "JPEG");
        std::optional<std::optional<std::string>> answer;
        QThread* answeredOn = nullptr;
        UploadPictures::storeFileInBackground(
            path.toStdString(),
            [&](std::optional<std::string> stored) {
                answer = stored;
                answeredOn = QThread::currentThread();
            },
            tmp());
        QVERIFY(!answer);
        QTRY_VERIFY(answer);
        QCOMPARE(answeredOn, QThread::currentThread());
        QVERIFY(*answer);
        QCOMPARE(bytesOf(QString::fromStdString(**answer)), bytesOf(path));
    }
};

}  // namespace oa

OA_QT_TEST(UploadPicturesTest)
#include "UploadPicturesTest.moc"

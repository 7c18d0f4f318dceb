// Server pictures decoded at the size drawn: the size chosen for a picture and a box, and a
// picture too large to decode at all refused by its header alone.
#include <QBuffer>
#include <QtEndian>
#include <QtTest>
#include <cstdint>

#include "ui/kit/ScaledImageReader.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

std::uint32_t crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray& typeAndData) {
    char field[4];
    qToBigEndian<quint32>(quint32(typeAndData.size() - 4), field);
    QByteArray out(field, 4);
    out += typeAndData;
    qToBigEndian<quint32>(crc32(typeAndData), field);
    return out + QByteArray(field, 4);
}

// An RGB PNG of width x height pixels that ends where its pixels would begin.
QByteArray pngHeader(quint32 width, quint32 height) {
    QByteArray header("IHDR");
    header.resize(17);
    qToBigEndian<quint32>(width, header.data() + 4);
    qToBigEndian<quint32>(height, header.data() + 8);
    header[12] = 8;  // bits per sample
    header[13] = 2;  // RGB
    header[14] = header[15] = header[16] = 0;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk(header) + pngChunk("IDAT");
}

}  // namespace

class ScaledImageReaderTest : public QObject {
    Q_OBJECT

private slots:
    void decodedSizeFitsTheBoxAndTheBudget_data() {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("decoded");
        QTest::newRow("smaller than the box") << QSize(30, 20) << QSize(80, 80) << QSize(30, 20);
        QTest::newRow("avatar") << QSize(5700, 5700) << QSize(80, 80) << QSize(80, 80);
        QTest::newRow("wide") << QSize(4000, 1000) << QSize(80, 80) << QSize(80, 20);
        QTest::newRow("only a width")
            << QSize(20000, 20000) << QSize(2000, QWIDGETSIZE_MAX) << QSize(2000, 2000);
        QTest::newRow("no box, over the budget")
            << QSize(8192, 8192) << QSize() << QSize(4096, 4096);
        QTest::newRow("a thread") << QSize(1, 100000) << QSize(80, 80) << QSize(1, 80);
    }

    void decodedSizeFitsTheBoxAndTheBudget() {
        QFETCH(QSize, source);
        QFETCH(QSize, box);
        QFETCH(QSize, decoded);
        QCOMPARE(ScaledImageReader::decodedSize(source, box), decoded);
    }

    // 30,000 x 30,000 pixels would be 3.6 GB: refused from its header, nothing decoded.
    void pictureOverTheSourceLimitIsRefusedByItsHeader() {
        QByteArray bytes = pngHeader(30000, 30000);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const ScaledImageReader::Picture picture = ScaledImageReader::read(&buffer, QSize(80, 80));
        QVERIFY(picture.image.isNull());
        QCOMPARE(picture.sourceSize, QSize(30000, 30000));
        QVERIFY2(picture.error.contains(QStringLiteral("too large")), qPrintable(picture.error));
    }
};

}  // namespace oa

OA_QT_TEST(ScaledImageReaderTest)
#include "ScaledImageReaderTest.moc"

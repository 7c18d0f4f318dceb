// Stretchable images: the caps keep their size, the middle column and row stretch, at any
// pixel density, and caps wider than the target shrink instead of overlapping.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/StretchableImage.h"

namespace oa {
namespace {

// A 21 x 11 point picture with caps 10 (left) and 5 (top): nine regions of nine colours, the
// column x = 10 and the row y = 5 being the stretched middle.
QRgb regionColour(int column, int row) {
    return QColor::fromHsv((column * 3 + row) * 40, 255, 255).rgb();
}

int region(int point, int cap) {
    return point < cap ? 0 : point == cap ? 1 : 2;
}

StretchableImage ninePatch(qreal scale) {
    QImage picture(QSize(21, 11) * scale, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y,
                             regionColour(region(int(x / scale), 10), region(int(y / scale), 5)));
        }
    }
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(scale);
    return {pixmap, 10, 5};
}

QImage drawn(const StretchableImage& image, QSize size) {
    QImage canvas(size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    image.draw(painter, QRect(QPoint(0, 0), size));
    return canvas;
}

}  // namespace

class StretchableImageTest : public QObject {
    Q_OBJECT
private slots:
    void capsKeepTheirSizeAndTheMiddleStretches_data() {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("1x") << 1.0;
        QTest::newRow("2x") << 2.0;
    }
    void capsKeepTheirSizeAndTheMiddleStretches() {
        QFETCH(qreal, scale);
        const StretchableImage image = ninePatch(scale);
        QCOMPARE(image.size(), QSize(21, 11));
        const QImage canvas = drawn(image, {200, 100});
        // Sample points well inside each target region: caps 10 and 5 at the start, 10 and 5
        // at the end, the rest stretched.
        const int xs[] = {5, 100, 195};
        const int ys[] = {2, 50, 97};
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                QCOMPARE(canvas.pixel(xs[column], ys[row]), regionColour(column, row));
            }
        }
        // The caps end where they end in the picture.
        QCOMPARE(canvas.pixel(8, 2), regionColour(0, 0));
        QCOMPARE(canvas.pixel(191, 96), regionColour(2, 2));
        // ... and the stretched middle starts right after them.
        QCOMPARE(canvas.pixel(12, 50), regionColour(1, 1));
        QCOMPARE(canvas.pixel(187, 50), regionColour(1, 1));
        QCOMPARE(canvas.pixel(100, 7), regionColour(1, 1));
        QCOMPARE(canvas.pixel(100, 92), regionColour(1, 1));
    }

    void narrowTargetsShrinkTheCaps() {
        const QImage canvas = drawn(ninePatch(1), {10, 11});
        QCOMPARE(canvas.pixel(1, 1), regionColour(0, 0));
        QCOMPARE(canvas.pixel(9, 1), regionColour(2, 0));
    }

    void capsOfZeroStretchEverything() {
        StretchableImage image = ninePatch(1);
        image.leftCap = 0;
        image.topCap = 0;
        // Three times the size; the samples fall on the centres of source pixels.
        const QImage canvas = drawn(image, {63, 33});
        QCOMPARE(canvas.pixel(1, 1), regionColour(0, 0));
        QCOMPARE(canvas.pixel(31, 16), regionColour(1, 1));
        QCOMPARE(canvas.pixel(61, 31), regionColour(2, 2));
    }
};

}  // namespace oa

OA_KIT_TEST(StretchableImageTest)
#include "StretchableImageTest.moc"

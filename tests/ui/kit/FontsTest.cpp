// Fonts per text: a character the first family lists but draws blank ("℃" in the Chinese
// default) is drawn by a family that has it; a text the first family draws keeps its font.
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "ui/kit/Fonts.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

// The pixels `text` darkens when drawn in `font`.
int ink(const QFont& font, const QString& text) {
    QImage canvas(96, 48, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(canvas.rect(), Qt::AlignCenter, text);
    }
    int dark = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            dark += qGray(canvas.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

}  // namespace

class FontsTest : public QObject {
    Q_OBJECT

private slots:
    void blankGlyphsComeFromAFamilyThatDrawsThem() {
        const QString chinese = QStringLiteral("WenQuanYi Micro Hei");
        if (!QFontDatabase::hasFamily(chinese)) {
            QSKIP("the Chinese default font is not installed");
        }
        QFont font(chinese);
        font.setPixelSize(20);
        const QString celsius = QStringLiteral("℃");
        QVERIFY(ink(fontForText(font, celsius), celsius) > 0);
        QVERIFY(ink(fontForText(font, "20℃~31℃"), "20℃~31℃") > ink(font, "20~31"));
        // What the family draws itself keeps the font, Chinese included.
        QCOMPARE(fontForText(font, "多云 20~31 °"), font);
    }
};

}  // namespace oa

OA_QT_TEST(FontsTest)
#include "FontsTest.moc"

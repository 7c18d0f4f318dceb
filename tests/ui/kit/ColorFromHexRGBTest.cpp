// Colours from the server's hexadecimal texts: the forms that occur, and text that is no colour.
#include <QtTest>

#include "KitTest.h"
#include "ui/kit/ColorFromHexRGB.h"

namespace oa {

class ColorFromHexRGBTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("plain") << "FF8080" << QColor(255, 128, 128);
        QTest::newRow("lower case") << "ffc097" << QColor(255, 192, 151);
        QTest::newRow("leading #") << "#336699" << QColor(0x33, 0x66, 0x99);
        QTest::newRow("0x") << "0x336699" << QColor(0x33, 0x66, 0x99);
        QTest::newRow("# and 0X") << "#0X336699" << QColor(0x33, 0x66, 0x99);
        QTest::newRow("blanks before") << "  \t#0000ff" << QColor(0, 0, 255);
        QTest::newRow("short") << "F0" << QColor(0, 0, 0xf0);
        QTest::newRow("stops at a non-digit") << "12345Gxyz" << QColor(0x01, 0x23, 0x45);
        QTest::newRow("alpha byte ignored") << "80FF0000" << QColor(255, 0, 0);
        // No colour in it: black, never a crash.
        QTest::newRow("empty") << "" << QColor(0, 0, 0);
        QTest::newRow("only #") << "#" << QColor(0, 0, 0);
        QTest::newRow("only 0x") << "0x" << QColor(0, 0, 0);
        QTest::newRow("words") << "red" << QColor(0, 0, 0);
        QTest::newRow("minus") << "-FF0000" << QColor(0, 0, 0);
        // Too long for 32 bits: read as the largest number, white.
        QTest::newRow("overlong") << "123456789ABCDEF0123" << QColor(255, 255, 255);
    }

    void readsTheText() {
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        const QColor read = colorFromHexRGB(text);
        QCOMPARE(read, colour);
        QCOMPARE(read.alpha(), 255);
        QCOMPARE(colorFromHexRGB(std::optional<std::string>(text.toStdString())), colour);
    }

    void absentTextIsBlack() {
        QCOMPARE(colorFromHexRGB(std::optional<std::string>()), QColor(Qt::black));
    }
};

}  // namespace oa

OA_KIT_TEST(ColorFromHexRGBTest)
#include "ColorFromHexRGBTest.moc"

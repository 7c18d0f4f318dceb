// Images by name: the shipped SVGs at 1x and 2x, the images of the shell under the names the
// screens use, and the lookup order in a resources folder.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/platform/AppPaths.h"
#include "ui/kit/Images.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {

namespace {

// The type icons of the file cabinet's rows, the folder first.
constexpr const char* kFileIcons[] = {
    "folder_64",   "file_word_64",  "file_excel_64", "file_powerpoint_64",
    "file_pdf_64", "file_image_64", "file_64"};

// Share of pixels that are not fully transparent.
double coverage(const QImage& img) {
    qsizetype painted = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            painted += qAlpha(img.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return double(painted) / double(img.width() * img.height());
}

}  // namespace

class ImagesTest : public QObject {
    Q_OBJECT

private:
    // Writes a square PNG of `side` pixels filled with `colour`.
    static void writePng(const QString& path, int side, QColor colour) {
        QImage img(side, side, QImage::Format_ARGB32);
        img.fill(colour);
        QVERIFY(img.save(path, "PNG"));
    }

    static void writeSvg(const QString& path, int width, int height) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\">"
                           "<rect width=\"%1\" height=\"%2\" fill=\"#ff0000\"/></svg>")
                       .arg(width)
                       .arg(height)
                       .toUtf8());
    }

private slots:
    void cleanup() { clearImageCache(); }

    void barBackgroundAtEachScale_data() {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("1x") << qreal(1) << QSize(320, 44);
        QTest::newRow("2x") << qreal(2) << QSize(640, 88);
        QTest::newRow("1.5x rounds up") << qreal(1.5) << QSize(480, 66);
    }

    void barBackgroundAtEachScale() {
        QFETCH(qreal, scale);
        QFETCH(QSize, pixels);
        const QPixmap bar = image("topbackground.png", scale);
        QVERIFY(!bar.isNull());
        QCOMPARE(bar.size(), pixels);
        QCOMPARE(bar.devicePixelRatio(), scale);
        QCOMPARE(bar.deviceIndependentSize(), QSizeF(320, 44));
        // Opaque and blue across the middle, not an empty canvas.
        const QColor middle = bar.toImage().pixelColor(pixels.width() / 2, pixels.height() / 2);
        QCOMPARE(middle.alpha(), 255);
        QVERIFY(middle.blue() > middle.red() + 60);
    }

    void everyShippedSvgRenders() {
        const QDir dir(
            QString::fromStdString((AppPaths::current().resources() / "images").string()));
        const auto sources = dir.entryList({"*.svg"}, QDir::Files);
        QVERIFY(sources.contains("topbackground.svg"));
        for (const QString& source : sources) {
            for (qreal scale : {1.0, 2.0}) {
                const QPixmap pixmap = image(QFileInfo(source).completeBaseName(), scale);
                QVERIFY2(!pixmap.isNull(), qPrintable(source));
                QCOMPARE(pixmap.devicePixelRatio(), scale);
            }
        }
    }

    void lookupOrderInResourcesFolder() {
        QTemporaryDir resources;
        QVERIFY(resources.isValid());
        const QString images = resources.filePath("images");
        QVERIFY(QDir().mkpath(images));
        writePng(images + "/pair.png", 10, Qt::green);
        writePng(images + "/pair@2x.png", 20, Qt::blue);
        writePng(images + "/single.png", 12, Qt::green);
        writePng(images + "/drawn.png", 7, Qt::green);
        writeSvg(images + "/drawn.svg", 30, 15);
        writePng(images + "/anim.gif.png", 5, Qt::green);  // decoy: not "anim.gif"
        writePng(resources.filePath("outside.png"), 4, Qt::green);

        const AppPaths previous = AppPaths::current();
        AppPaths::setCurrent(AppPaths(previous.home(), resources.path().toStdString()));
        clearImageCache();

        // The 2x file serves the high density, the plain one the low; the name may omit ".png".
        QCOMPARE(image("pair.png", 1).size(), QSize(10, 10));
        QCOMPARE(image("pair", 2).size(), QSize(20, 20));
        QCOMPARE(image("pair", 2).devicePixelRatio(), 2.0);
        QCOMPARE(image("pair", 2).toImage().pixelColor(0, 0), QColor(Qt::blue));
        // Without a 2x file the 1x one is used as it is.
        QCOMPARE(image("single.png", 2).size(), QSize(12, 12));
        QCOMPARE(image("single.png", 2).devicePixelRatio(), 1.0);
        // An SVG wins over a PNG of the same name and is drawn at the density asked for.
        QCOMPARE(image("drawn.png", 2).size(), QSize(60, 30));
        QCOMPARE(image("drawn.png", 2).toImage().pixelColor(30, 15), QColor(Qt::red));
        // Names that are missing or point outside the folder find nothing.
        QVERIFY(image("missing.png", 1).isNull());
        QVERIFY(image("../outside.png", 1).isNull());
        QVERIFY(image("", 1).isNull());
        QVERIFY(image("anim.gif", 1).isNull());

        AppPaths::setCurrent(previous);
    }

    // Drawn ahead on another thread, an image is the one image() would draw itself; names
    // without an SVG source, unknown names and a second prefetch of the same name change
    // nothing, and clearing the cache while drawing is safe.
    void prefetchedImagesAreThoseDrawnInPlace() {
        const QStringList names = {"background.png", "logo.png", "login_area.png"};
        QList<QImage> inPlace;
        for (const QString& name : names) {
            inPlace << image(name, 2).toImage();
        }
        clearImageCache();

        prefetchImages(names + QStringList{"no_such_image.png", "background.png"}, 2);
        prefetchImages(names, 2);
        for (int i = 0; i < names.size(); ++i) {
            const QPixmap drawn = image(names[i], 2);
            QCOMPARE(drawn.devicePixelRatio(), 2.0);
            QCOMPARE(drawn.toImage(), inPlace[i]);
        }
        QVERIFY(image("no_such_image.png", 2).isNull());

        prefetchImages(names, 1);
        clearImageCache();
        QCOMPARE(image("logo.png", 1).size(), QSize(160, 56));
    }

    void rendersAtBothScales_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("points");
        const QList<QPair<QString, QSize>> images = {
            {"background", {320, 480}},
            {"logo", {160, 56}},
            {"login_area", {300, 210}},
            {"search", {30, 30}},
            {"settingicon.png", {30, 30}},
            {"11.png", {24, 24}},
            {"topbackground.png", {320, 44}},
            {"btnback1.png", {50, 25}},
            {"btn_background1", {100, 46}},
            {"mainbackground.png", {320, 480}},
            {"footer_bg", {320, 50}},
            // The module lists and details.
            {"otherbackground.png", {40, 40}},
            {"dividerline.png", {320, 2}},
            {"分割线.png", {300, 2}},
            {"attach", {20, 20}},
            {"icontop", {24, 14}},
            {"blueArrow.png", {20, 40}},
            {"blueArrowDown", {20, 40}},
        };
        for (const auto& [name, size] : images) {
            QTest::newRow(qPrintable(name)) << name << size;
        }
        // The home grid's module icons.
        for (const char* icon : {"email", "notify", "news", "work", "calendar", "blog", "file",
                                 "public_file", "contact", "youbian", "hr", "weather"}) {
            QTest::newRow(icon) << QString(icon) << QSize(52, 52);
        }
        // The file cabinet's type icons.
        for (const char* icon : kFileIcons) {
            QTest::newRow(icon) << QString(icon) << QSize(64, 64);
        }
        QTest::newRow("folder_up_64") << QStringLiteral("folder_up_64") << QSize(64, 64);
        // The tab bar's items, selected (1) and not (2).
        for (const char* tab : {"home", "message", "remind", "affairs"}) {
            for (const char* state : {"1", "2"}) {
                const QString name = QString(tab) + state;
                QTest::newRow(qPrintable(name)) << name << QSize(80, 49);
            }
        }
    }

    void rendersAtBothScales() {
        QFETCH(QString, name);
        QFETCH(QSize, points);
        const QPixmap single = image(name, 1);
        const QPixmap doubled = image(name, 2);
        QVERIFY2(!single.isNull() && !doubled.isNull(), qPrintable(name));
        QCOMPARE(single.size(), points);
        QCOMPARE(doubled.size(), points * 2);
        QCOMPARE(doubled.deviceIndependentSize(), QSizeF(points));
        // Something is drawn at both densities, and about as much of the canvas at each.
        const double one = coverage(single.toImage());
        const double two = coverage(doubled.toImage());
        QVERIFY2(one > 0.05, qPrintable(QString("%1 covers %2").arg(name).arg(one)));
        QVERIFY2(std::abs(one - two) < 0.1,
                 qPrintable(QString("%1: %2 vs %3").arg(name).arg(one).arg(two)));
    }

    void moduleIconsAreOpaqueTilesOfTheirOwnColour() {
        // Same shape for all, told apart by colour: the tile centres differ pairwise.
        QList<QColor> seen;
        for (const char* icon : {"email", "notify", "news", "work", "calendar", "blog", "file",
                                 "public_file", "contact", "youbian", "hr", "weather"}) {
            const QImage img = image(icon, 1).toImage();
            const QColor corner = img.pixelColor(5, 47);  // tile, below the glyph area
            QCOMPARE(corner.alpha(), 255);
            QCOMPARE(img.pixelColor(0, 0).alpha(), 0);  // rounded corner stays clear
            for (const QColor& other : seen) {
                const int distance = std::abs(other.red() - corner.red()) +
                                     std::abs(other.green() - corner.green()) +
                                     std::abs(other.blue() - corner.blue());
                QVERIFY2(distance > 30, icon);
            }
            seen.append(corner);
        }
    }

    void fileIconsAreToldApartByColour() {
        // The badge at the lower left carries the type's colour; the folder has none.
        QList<QColor> seen;
        for (const char* icon : kFileIcons) {
            const QColor badge = image(icon, 1).toImage().pixelColor(9, 50);
            QCOMPARE(badge.alpha(), 255);
            for (const QColor& other : seen) {
                const int distance = std::abs(other.red() - badge.red()) +
                                     std::abs(other.green() - badge.green()) +
                                     std::abs(other.blue() - badge.blue());
                QVERIFY2(distance > 30, icon);
            }
            seen.append(badge);
        }
    }

    void pullArrowsPointTheWayTheListIsPulled() {
        // The header's arrow points down (its head, the wide part, is low), the footer's up.
        const auto inkIn = [](const QImage& img, int top, int bottom) {
            int ink = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = 0; x < img.width(); ++x) {
                    ink += qAlpha(img.pixel(x, y)) > 128 ? 1 : 0;
                }
            }
            return ink;
        };
        const QImage down = image("blueArrow.png", 1).toImage();
        const QImage up = image("blueArrowDown", 1).toImage();
        QVERIFY(inkIn(down, 24, 30) > 2 * inkIn(down, 10, 16));
        QVERIFY(inkIn(up, 10, 16) > 2 * inkIn(up, 24, 30));
    }

    void selectedTabsDifferFromTheOthers() {
        for (const char* tab : {"home", "message", "remind", "affairs"}) {
            const QImage on = image(QString(tab) + "1", 1).toImage();
            const QImage off = image(QString(tab) + "2", 1).toImage();
            QVERIFY2(on != off, tab);
        }
    }
};

}  // namespace oa

OA_QT_TEST(ImagesTest)
#include "ImagesTest.moc"

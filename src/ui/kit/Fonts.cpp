// Fonts: choosing a Chinese-capable default family and phone-style point sizes.
#include "ui/kit/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"

namespace oa {

namespace {

// Families known to cover the Chinese texts of the screens, best first.
const char* const kPreferredFamilies[] = {
    "WenQuanYi Micro Hei", "Noto Sans CJK SC",  "Source Han Sans SC",
    "Noto Sans SC",        "WenQuanYi Zen Hei", "Droid Sans Fallback",
};

void addShippedFonts() {
    const QDir dir(QString::fromStdString((AppPaths::current().resources() / "fonts").string()));
    if (!dir.exists()) {
        return;
    }
    const auto files = dir.entryList({"*.ttf", "*.otf", "*.ttc"}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        if (QFontDatabase::addApplicationFont(dir.filePath(file)) < 0) {
            log("cannot load font " + dir.filePath(file).toStdString());
        }
    }
}

bool coversChinese(const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese);
}

QString chineseFamily() {
    for (const char* name : kPreferredFamilies) {
        const QString family = QString::fromLatin1(name);
        if (QFontDatabase::hasFamily(family) && coversChinese(family)) {
            return family;
        }
    }
    const auto families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return families.isEmpty() ? QString() : families.first();
}

}  // namespace

QString installDefaultFont() {
    addShippedFonts();
    const QString family = chineseFamily();
    if (family.isEmpty()) {
        log("no installed font has Chinese glyphs; Chinese texts may not render");
        return {};
    }
    QFont font = QApplication::font();
    font.setFamilies({family});
    font.setPixelSize(14);
    QApplication::setFont(font);
    return family;
}

QFont systemFont(int points) {
    QFont font = QApplication::font();
    font.setPixelSize(points);
    font.setBold(false);
    return font;
}

QFont boldSystemFont(int points) {
    QFont font = systemFont(points);
    font.setBold(true);
    return font;
}

}  // namespace oa

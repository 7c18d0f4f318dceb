// Fonts: choosing a Chinese-capable default family and phone-style point sizes.
#include "ui/kit/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHash>
#include <QPainterPath>
#include <QRawFont>

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

// Families tried first for a character the chosen one leaves blank: wide symbol coverage.
const char* const kSymbolFamilies[] = {"DejaVu Sans", "Noto Sans", "Noto Sans Symbols",
                                       "Liberation Sans", "FreeSans"};

// Whether `family` draws `c` with an outline of its own. Main thread only.
bool draws(const QString& family, char32_t c) {
    static QHash<QString, QHash<char32_t, bool>> known;
    QHash<char32_t, bool>& answers = known[family];
    if (const auto found = answers.constFind(c); found != answers.constEnd()) {
        return *found;
    }
    QFont font(family);
    font.setPixelSize(32);
    const QRawFont raw = QRawFont::fromFont(font);
    bool drawn = false;
    if (raw.isValid() && raw.familyName().compare(family, Qt::CaseInsensitive) == 0) {
        const QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
        drawn = glyphs.size() == 1 && glyphs[0] != 0 && !raw.pathForGlyph(glyphs[0]).isEmpty();
    }
    answers.insert(c, drawn);
    return drawn;
}

// Nothing to draw, so nothing to miss: spaces, controls, format characters.
bool inkless(char32_t c) {
    if (c < 0x80 || QChar::isSpace(c)) {
        return true;
    }
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format ||
           category == QChar::Separator_Space;
}

// An installed family that draws `c`, the symbol families first; empty when none does.
QString familyDrawing(char32_t c) {
    static QHash<char32_t, QString> known;
    if (const auto found = known.constFind(c); found != known.constEnd()) {
        return *found;
    }
    QStringList candidates;
    for (const char* name : kSymbolFamilies) {
        candidates << QString::fromLatin1(name);
    }
    candidates << QFontDatabase::families();
    QString chosen;
    for (const QString& family : candidates) {
        if (QFontDatabase::hasFamily(family) && draws(family, c)) {
            chosen = family;
            break;
        }
    }
    known.insert(c, chosen);
    return chosen;
}

}  // namespace

QFont fontForText(const QFont& font, const QString& text) {
    QStringList families = font.families();
    if (families.isEmpty()) {
        families << font.family();
    }
    const QString first = families.first();
    for (const char32_t c : text.toUcs4()) {
        if (inkless(c) || draws(first, c)) {
            continue;
        }
        const QString helper = familyDrawing(c);
        if (helper.isEmpty() || families.contains(helper)) {
            continue;
        }
        families.prepend(helper);
        QFont chosen = font;
        chosen.setFamilies(families);
        return chosen;
    }
    return font;
}

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

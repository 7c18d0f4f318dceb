// StockDialogs: the translations loaded once and the dialog's frame.
#include "ui/kit/StockDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

#include "core/platform/Log.h"

namespace oa {

namespace {

// Main thread only.
bool& installed() {
    static bool done = false;
    return done;
}

}  // namespace

void StockDialogs::useChinese() {
    if (installed() || !QCoreApplication::instance()) {
        return;
    }
    installed() = true;
    // Owned by the application, so that it lives as long as the texts it gives.
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(translator);
    } else {
        log("no Chinese translations of Qt in " + folder.toStdString() +
            "; stock dialogs speak English");
        delete translator;
    }
}

bool StockDialogs::speaksChinese() {
    return installed() &&
           QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel");
}

void StockDialogs::fitIntoWindow(QDialog* dialog, QWidget* host) {
    if (!dialog) {
        return;
    }
    QWidget* window = host ? host->window() : QApplication::activeWindow();
    QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    QRect bounds = window ? window->geometry() : QRect();
    if (screen) {
        bounds = bounds.isEmpty() ? screen->availableGeometry()
                                  : bounds.intersected(screen->availableGeometry());
    }
    if (bounds.isEmpty()) {
        return;
    }
    // The dialog's layout would keep it at its own minimum, a little wider than a phone's
    // window; its parts still fit at the window's size.
    dialog->setMinimumSize(dialog->minimumSizeHint().boundedTo(bounds.size()));
    dialog->resize(bounds.size());
    dialog->move(bounds.topLeft());
}

}  // namespace oa

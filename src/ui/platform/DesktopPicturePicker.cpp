// DesktopPicturePicker: the file dialog here; the camera screen is in the multimedia module.
#include "ui/platform/DesktopPicturePicker.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>

#include "core/platform/AppPaths.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/StockDialogs.h"
#include "ui/platform/Multimedia.h"
#include "ui/platform/MultimediaBackend.h"

namespace oa {

namespace {

Q_LOGGING_CATEGORY(lcPicker, "oa.picturepicker")

void answerLater(PicturePicker::Callback callback, std::optional<QString> path) {
    QTimer::singleShot(0, [callback = std::move(callback), path = std::move(path)] {
        if (callback) {
            callback(path);
        }
    });
}

QWidget* hostWindow(QWidget* parent) {
    if (parent) {
        return parent->window();
    }
    return QApplication::activeWindow();
}

}  // namespace

DesktopPicturePicker::DesktopPicturePicker() = default;

QString DesktopPicturePicker::libraryTitle() {
    return QStringLiteral("相册");
}

QString DesktopPicturePicker::libraryFilter() {
    return QStringLiteral("图片 (*.png *.jpg *.jpeg *.gif *.bmp *.webp)");
}

QString DesktopPicturePicker::notAPictureText() {
    return QStringLiteral("所选文件不是图片");
}

bool DesktopPicturePicker::hasCamera() {
    MultimediaBackend* backend = multimediaBackend();
    return backend && backend->hasCamera();
}

void DesktopPicturePicker::takePhoto(Callback callback, QWidget* parent) {
    if (!hasCamera()) {
        answerLater(std::move(callback), std::nullopt);
        return;
    }
    const QString folder = QString::fromStdString(AppPaths::current().temporary().string());
    multimediaBackend()->takePhoto(hostWindow(parent), folder, std::move(callback));
}

void DesktopPicturePicker::pickFromLibrary(Callback callback, QWidget* parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    StockDialogs::useChinese();
    auto* dialog = new QFileDialog(hostWindow(parent), libraryTitle(), folder, libraryFilter());
    dialog->setObjectName(QStringLiteral("pictureLibrary"));
    // The same dialog everywhere, also where the desktop offers none of its own.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    StockDialogs::fitIntoWindow(dialog, hostWindow(parent));
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, callback = std::move(callback)](int result) mutable {
                         std::optional<QString> path;
                         const QStringList chosen = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !chosen.isEmpty()) {
                             if (QImageReader(chosen.first()).canRead()) {
                                 path = chosen.first();
                             } else {
                                 // Handed back as nothing, like a cancel; without a word
                                 // the choice would seem to have been ignored.
                                 qCInfo(lcPicker) << "not a picture:" << chosen.first();
                                 ProgressHUD::showErrorWithStatus(notAPictureText());
                             }
                         }
                         answerLater(std::move(callback), std::move(path));
                     });
    dialog->open();
}

}  // namespace oa

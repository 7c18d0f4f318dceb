// DesktopPicturePicker: the file dialog, and the camera screen with a live picture and a shutter
// button.
#include "ui/platform/DesktopPicturePicker.h"

#include <QApplication>
#include <QCamera>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageCapture>
#include <QImageReader>
#include <QLabel>
#include <QLoggingCategory>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>

#include "core/platform/AppPaths.h"

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

// The camera screen: the live picture, "拍照" and "取消". Answers once, then closes.
class CaptureDialog : public QDialog {
public:
    CaptureDialog(QWidget* parent, PicturePicker::Callback callback)
        : QDialog(parent), callback_(std::move(callback)) {
        setWindowTitle(QStringLiteral("拍照"));
        setAttribute(Qt::WA_DeleteOnClose);
        setModal(true);
        resize(320, 420);
        auto* layout = new QVBoxLayout(this);
        preview_ = new QLabel(this);
        preview_->setAlignment(Qt::AlignCenter);
        preview_->setMinimumSize(280, 300);
        preview_->setStyleSheet(QStringLiteral("background: black; color: white;"));
        preview_->setText(QStringLiteral("正在打开相机..."));
        layout->addWidget(preview_, 1);
        auto* buttons = new QHBoxLayout;
        auto* cancel = new QPushButton(QStringLiteral("取消"), this);
        shutter_ = new QPushButton(QStringLiteral("拍照"), this);
        shutter_->setEnabled(false);
        buttons->addWidget(cancel);
        buttons->addWidget(shutter_);
        layout->addLayout(buttons);

        camera_ = new QCamera(QMediaDevices::defaultVideoInput(), this);
        capture_ = new QImageCapture(this);
        sink_ = new QVideoSink(this);
        session_.setCamera(camera_);
        session_.setImageCapture(capture_);
        session_.setVideoSink(sink_);

        connect(cancel, &QPushButton::clicked, this, [this] { finish(std::nullopt); });
        connect(shutter_, &QPushButton::clicked, this, [this] {
            shutter_->setEnabled(false);
            capture_->capture();
        });
        connect(capture_, &QImageCapture::readyForCaptureChanged, shutter_,
                &QPushButton::setEnabled);
        connect(capture_, &QImageCapture::imageCaptured, this,
                [this](int, const QImage& image) { save(image); });
        connect(capture_, &QImageCapture::errorOccurred, this,
                [this](int, QImageCapture::Error, const QString& message) {
                    qCWarning(lcPicker) << "photo failed:" << message;
                    finish(std::nullopt);
                });
        connect(camera_, &QCamera::errorOccurred, this,
                [this](QCamera::Error, const QString& message) {
                    qCWarning(lcPicker) << "camera failed:" << message;
                    finish(std::nullopt);
                });
        connect(sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            const QImage image = frame.toImage();
            if (!image.isNull()) {
                preview_->setPixmap(QPixmap::fromImage(image).scaled(
                    preview_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
            }
        });
        camera_->start();
    }

    ~CaptureDialog() override {
        // Closed by the window manager or with its window: the answer is a cancel.
        if (callback_) {
            answerLater(std::move(callback_), std::nullopt);
        }
    }

private:
    void save(const QImage& image) {
        const QString folder = QString::fromStdString(AppPaths::current().temporary().string());
        QDir().mkpath(folder);
        QTemporaryFile file(QDir(folder).filePath(QStringLiteral("photo-XXXXXX.png")));
        file.setAutoRemove(false);
        if (image.isNull() || !file.open() || !image.save(&file, "PNG")) {
            qCWarning(lcPicker) << "cannot store the photo in" << folder;
            file.remove();
            finish(std::nullopt);
            return;
        }
        file.close();
        finish(file.fileName());
    }

    void finish(std::optional<QString> path) {
        if (!callback_) {
            return;
        }
        camera_->stop();
        answerLater(std::move(callback_), std::move(path));
        callback_ = nullptr;
        close();
    }

    PicturePicker::Callback callback_;
    QLabel* preview_;
    QPushButton* shutter_;
    QCamera* camera_;
    QImageCapture* capture_;
    QVideoSink* sink_;
    QMediaCaptureSession session_;
};

}  // namespace

DesktopPicturePicker::DesktopPicturePicker() = default;

QString DesktopPicturePicker::libraryTitle() {
    return QStringLiteral("相册");
}

QString DesktopPicturePicker::libraryFilter() {
    return QStringLiteral("图片 (*.png *.jpg *.jpeg *.gif *.bmp *.webp)");
}

bool DesktopPicturePicker::hasCamera() {
    return !QMediaDevices::videoInputs().isEmpty();
}

void DesktopPicturePicker::takePhoto(Callback callback, QWidget* parent) {
    if (!hasCamera()) {
        answerLater(std::move(callback), std::nullopt);
        return;
    }
    auto* dialog = new CaptureDialog(hostWindow(parent), std::move(callback));
    dialog->open();
}

void DesktopPicturePicker::pickFromLibrary(Callback callback, QWidget* parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    auto* dialog = new QFileDialog(hostWindow(parent), libraryTitle(), folder, libraryFilter());
    dialog->setObjectName(QStringLiteral("pictureLibrary"));
    // The same dialog everywhere, also where the desktop offers none of its own.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, callback = std::move(callback)](int result) mutable {
                         std::optional<QString> path;
                         const QStringList chosen = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !chosen.isEmpty()) {
                             if (QImageReader(chosen.first()).canRead()) {
                                 path = chosen.first();
                             } else {
                                 qCInfo(lcPicker) << "not a picture:" << chosen.first();
                             }
                         }
                         answerLater(std::move(callback), std::move(path));
                     });
    dialog->open();
}

}  // namespace oa

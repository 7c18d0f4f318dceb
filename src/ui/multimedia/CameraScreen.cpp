// The camera screen: a QCamera feeding a QVideoSink for the picture and a QImageCapture for the
// photo.
#include "ui/multimedia/CameraScreen.h"

#include <QCamera>
#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QImageCapture>
#include <QLabel>
#include <QLoggingCategory>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>

namespace oa {

namespace {

Q_LOGGING_CATEGORY(lcCamera, "oa.picturepicker")

using Done = std::function<void(std::optional<QString> path)>;

void answerLater(Done done, std::optional<QString> path) {
    QTimer::singleShot(0, [done = std::move(done), path = std::move(path)] {
        if (done) {
            done(path);
        }
    });
}

// Answers once, then closes.
class CaptureDialog : public QDialog {
public:
    CaptureDialog(QWidget* parent, QString folder, Done done)
        : QDialog(parent), folder_(std::move(folder)), done_(std::move(done)) {
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
                    qCWarning(lcCamera) << "photo failed:" << message;
                    finish(std::nullopt);
                });
        connect(camera_, &QCamera::errorOccurred, this,
                [this](QCamera::Error, const QString& message) {
                    qCWarning(lcCamera) << "camera failed:" << message;
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
        if (done_) {
            answerLater(std::move(done_), std::nullopt);
        }
    }

private:
    void save(const QImage& image) {
        QDir().mkpath(folder_);
        QTemporaryFile file(QDir(folder_).filePath(QStringLiteral("photo-XXXXXX.png")));
        file.setAutoRemove(false);
        if (image.isNull() || !file.open() || !image.save(&file, "PNG")) {
            qCWarning(lcCamera) << "cannot store the photo in" << folder_;
            file.remove();
            finish(std::nullopt);
            return;
        }
        file.close();
        finish(file.fileName());
    }

    void finish(std::optional<QString> path) {
        if (!done_) {
            return;
        }
        camera_->stop();
        answerLater(std::move(done_), std::move(path));
        done_ = nullptr;
        close();
    }

    QString folder_;
    Done done_;
    QLabel* preview_;
    QPushButton* shutter_;
    QCamera* camera_;
    QImageCapture* capture_;
    QVideoSink* sink_;
    QMediaCaptureSession session_;
};

}  // namespace

void openCameraScreen(QWidget* parent, const QString& folder, Done done) {
    auto* dialog = new CaptureDialog(parent, folder, std::move(done));
    dialog->open();
}

}  // namespace oa

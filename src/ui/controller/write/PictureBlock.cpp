// PictureBlock: rebuilt from its list on every change.
#include "ui/controller/write/PictureBlock.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QtMath>

#include "ui/controller/write/UploadPictures.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/Images.h"
#include "ui/kit/ScaledImageReader.h"
#include "ui/kit/ViewTags.h"

namespace oa {

PictureBlock::PictureBlock(QWidget* parent) : QWidget(parent) {
    rebuild();
}

int PictureBlock::heightFor(std::size_t pictures) {
    return pictures == 0 ? 50 : 110 + kRowHeight * static_cast<int>(pictures);
}

void PictureBlock::setImageAry(std::vector<std::string> paths) {
    imageAry_ = std::move(paths);
    rebuild();
}

void PictureBlock::addImage(const std::string& path) {
    imageAry_.push_back(path);
    rebuild();
    emit changed();
}

void PictureBlock::deleteTheImage(int index) {
    if (index < 0 || index >= static_cast<int>(imageAry_.size())) {
        return;
    }
    UploadPictures::remove({imageAry_[static_cast<std::size_t>(index)]});
    imageAry_.erase(imageAry_.begin() + index);
    rebuild();
    emit changed();
}

void PictureBlock::deleteAllImages() {
    if (imageAry_.empty()) {
        return;
    }
    UploadPictures::remove(imageAry_);
    imageAry_.clear();
    rebuild();
    emit changed();
}

void PictureBlock::rebuild() {
    // The old widgets go later: the button being clicked may be one of them.
    const QList<QWidget*> old = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : old) {
        child->hide();
        child->setParent(nullptr);
        child->deleteLater();
    }
    setFixedSize(kWidth, heightFor(imageAry_.size()));

    auto* insert = new QLabel(QStringLiteral("插入图片"), this);
    insert->setFont(systemFont(16));
    insert->setGeometry(15, 12, 80, 26);
    auto* attach = new QPushButton(this);
    attach->setAccessibleName(QStringLiteral("添加图片"));
    attach->setObjectName(QStringLiteral("attachButton"));
    attach->setIcon(image(QStringLiteral("btnimageattach.png")));
    attach->setIconSize({30, 30});
    attach->setFlat(true);
    attach->setGeometry(100, 10, 30, 30);
    connect(attach, &QPushButton::clicked, this, &PictureBlock::addPhotos);

    if (!imageAry_.empty()) {
        auto* count = new QLabel(QStringLiteral("%1张图片").arg(imageAry_.size()), this);
        count->setObjectName(QStringLiteral("pictureCount"));
        count->setFont(systemFont(16));
        count->setGeometry(15, 60, 120, 26);
        auto* all = new QPushButton(QStringLiteral("删除所有"), this);
        all->setObjectName(QStringLiteral("deleteAll"));
        all->setGeometry(200, 58, 90, 30);
        connect(all, &QPushButton::clicked, this, &PictureBlock::deleteAllImages);
        for (std::size_t i = 0; i < imageAry_.size(); ++i) {
            const int y = 100 + kRowHeight * static_cast<int>(i);
            auto* thumb = new QLabel(this);
            thumb->setGeometry(15, y, 48, 48);
            // Decoded at the thumbnail's size: a camera picture is tens of megabytes in full.
            const qreal dpr = devicePixelRatioF();
            QImage small = ScaledImageReader::read(QString::fromStdString(imageAry_[i]),
                                                   QSize(qCeil(48 * dpr), qCeil(48 * dpr)))
                               .image;
            small.setDevicePixelRatio(dpr);
            thumb->setPixmap(QPixmap::fromImage(small));
            auto* remove = new QPushButton(this);
            remove->setAccessibleName(QStringLiteral("删除图片"));
            remove->setIcon(image(QStringLiteral("delete.png")));
            remove->setIconSize({24, 24});
            remove->setFlat(true);
            remove->setGeometry(260, y + 12, 24, 24);
            setTag(remove, static_cast<int>(i));
            connect(remove, &QPushButton::clicked, this,
                    [this, i] { deleteTheImage(static_cast<int>(i)); });
        }
    }
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->show();
    }
}

}  // namespace oa

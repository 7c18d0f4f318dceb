// PictureBlock: the editors' list of pictures to upload: "插入图片" with the attach button, and
// with pictures their number, "删除所有" and one thumbnail row per picture with a delete button
// tagged with its index. Removing a picture removes its upload file.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

namespace oa {

class PictureBlock : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 310;
    static constexpr int kRowHeight = 50;

    explicit PictureBlock(QWidget* parent = nullptr);

    // Full paths of the upload files, in picking order.
    const std::vector<std::string>& imageAry() const { return imageAry_; }
    void setImageAry(std::vector<std::string> paths);
    void addImage(const std::string& path);
    // Removes the picture at `index` and its file; out of range does nothing.
    void deleteTheImage(int index);
    void deleteAllImages();

    // 50 points without pictures, 110 + 50 per picture with them.
    static int heightFor(std::size_t pictures);

signals:
    // The attach button was tapped.
    void addPhotos();
    // The list changed (a picture added or removed); the block has been rebuilt.
    void changed();

private:
    void rebuild();

    std::vector<std::string> imageAry_;
};

}  // namespace oa

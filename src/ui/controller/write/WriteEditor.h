// WriteEditor: what the write screen needs of each of its editors besides the record it sends:
// a change signal and the content as a draft, and the keyboard moves.
#pragma once

#include <QJsonObject>
#include <QPointer>
#include <QWidget>

class QPropertyAnimation;

namespace oa {

class WriteEditor : public QWidget {
    Q_OBJECT
public:
    explicit WriteEditor(QWidget* parent = nullptr);

    // Everything the user entered or chose, and the inverse. A restored draft keeps what it
    // does not mention as it is.
    virtual QJsonObject draft() const = 0;
    virtual void restoreDraft(const QJsonObject& draft) = 0;
    // The upload files the editor lists (none for editors without pictures).
    virtual std::vector<std::string> pictureFiles() const { return {}; }
    // Adds a stored upload file to the picture list (editors with pictures only).
    virtual void addPicture(const std::string& path) { Q_UNUSED(path); }

    // The y the editor is moved to while the keyboard covers the lower part of the screen.
    int keyboardOffset() const { return -y(); }

signals:
    // The user changed something: a text, a choice, a picture.
    void changed();

protected:
    // A tap beside the fields ends editing: with Return breaking lines in the texts, it is how
    // the editor comes back down.
    void mousePressEvent(QMouseEvent* event) override;

    // Moves the editor to `y` in its parent over 0.3 seconds (the keyboard's arrival or leave).
    void moveForKeyboard(int y);

private:
    QPointer<QPropertyAnimation> move_;
};

}  // namespace oa

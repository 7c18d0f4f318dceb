// WriteEditor: what the write screen needs of each of its editors besides the record it sends:
// a change signal and the content as a draft, and the keyboard moves.
#pragma once

#include <QJsonObject>
#include <QPointer>
#include <QWidget>

class QPropertyAnimation;

namespace oa {

class TextField;
class TextView;

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

    // While `field` is edited the editor moves up just far enough for the field to clear an
    // on-screen keyboard, or, without one, the bottom of the screen; a field already in sight
    // moves nothing. The editor comes back down when editing ends.
    void keepInSightWhileEditing(TextView* field);
    void keepInSightWhileEditing(TextField* field);

private:
    // The y that shows `field` (its top stays in sight whatever the keyboard leaves).
    int offsetShowing(const QWidget* field) const;
    // Moves the editor to `y` in its parent over 0.3 seconds; its bottom edge stays, so that no
    // empty band shows below it.
    void moveForKeyboard(int y);

    QPointer<QPropertyAnimation> move_;
};

}  // namespace oa

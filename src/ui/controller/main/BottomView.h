// BottomView: the tab bar of the main index: four items ("home", "message", "remind",
// "affairs") on a patterned bar; selecting an item tells the delegate which tab to show.
#pragma once

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <string>

#include "ui/controller/main/MyImageView.h"

namespace oa {

class BottomDelegate;

class BottomView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 50;

    explicit BottomView(QWidget* parent = nullptr);

    // The main index; not owned.
    BottomDelegate* bottom_delegate() const { return bottom_delegate_; }
    void setBottom_delegate(BottomDelegate* delegate) { bottom_delegate_ = delegate; }

    // Builds the four items, "home" selected.
    void createView();
    // A tap on an item: selects it, unless it is selected already, and tells the delegate.
    void changeState(MyImageView* item);

    MyImageView* tempMyView() const { return tempMyView_; }
    QList<MyImageView*> items() const;
    MyImageView* item(const std::string& key) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BottomDelegate* bottom_delegate_ = nullptr;
    QPointer<MyImageView> tempMyView_;
    QPixmap pattern_;
};

}  // namespace oa

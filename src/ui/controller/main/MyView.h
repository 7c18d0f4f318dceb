// MyView: one cell of the home grid: a module's icon with its counter badge and its title. A
// click (or the space key) on the cell opens the module.
#pragma once

#include <QWidget>
#include <string>

namespace oa {

class MyView : public QWidget {
    Q_OBJECT
public:
    explicit MyView(QWidget* parent = nullptr);

    const std::string& func_name() const { return func_name_; }
    void setFunc_name(const std::string& key) { func_name_ = key; }
    const std::string& func_title() const { return func_title_; }
    void setFunc_title(const std::string& title) { func_title_ = title; }

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::string func_name_;
    std::string func_title_;
    bool pressed_ = false;
    bool keyboardFocus_ = false;
};

}  // namespace oa

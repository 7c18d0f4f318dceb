// StockDialogs: Qt's own dialogs (the file dialogs "另存为…" and "相册") as the client shows them:
// with Qt's texts in Chinese, and no larger than the client's window. Qt's Chinese translations
// are read with the first such dialog, not at start, where the sign-in screen has no use for
// them.
#pragma once

class QDialog;
class QWidget;

namespace oa {

class StockDialogs {
public:
    // Installs Qt's Simplified Chinese translations once, from Qt's translations folder; a
    // missing catalogue leaves Qt's English (with a log line). Call before making the dialog.
    static void useChinese();
    // Whether the translations are installed.
    static bool speaksChinese();
    // Sizes `dialog` to the window of `host` (the active window when null) and places it over
    // that window, inside the window's screen; without a window, inside the primary screen.
    static void fitIntoWindow(QDialog* dialog, QWidget* host);
};

}  // namespace oa

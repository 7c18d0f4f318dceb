// The camera screen: the live picture of the default camera, "拍照" and "取消".
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace oa {

// Opens the screen over `parent` (modal, deleted when closed). A photo is written as a PNG
// file in `folder`; `done` runs once, from the event loop, with its path, or nothing on a
// cancel, a closed screen or a camera error.
void openCameraScreen(QWidget* parent, const QString& folder,
                      std::function<void(std::optional<QString> path)> done);

}  // namespace oa

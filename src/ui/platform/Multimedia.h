// The multimedia module: recording, playback and the camera, loaded with the first of them so
// that neither Qt Multimedia nor the audio libraries it brings come up with the sign-in screen.
#pragma once

#include <QString>
#include <QStringList>

namespace oa {

class MultimediaBackend;

// What the recorder answers when the module is missing.
inline constexpr const char* kMultimediaMissing = "音频组件无法加载";

// The backend of the multimedia module, loaded on the first call; null (and logged once) when
// the module is missing or does not fit. The module is looked for like every client module
// (ClientModule.h). Main thread.
MultimediaBackend* multimediaBackend();
// Loads the first of `files` that is a multimedia module of this client's version; null with
// the reason of each file in `error` otherwise. A module once loaded stays loaded.
MultimediaBackend* loadMultimediaModule(const QStringList& files, QString* error);
// Where the module was looked for and why it failed; empty while it loads or before the first
// call.
QString multimediaLoadError();

}  // namespace oa

// The web engine behind every web view: process set-up that must happen before the
// QApplication, the engine module (loaded with the first web view, so that neither its
// libraries nor the engine come up with the sign-in screen) and the session cookies it carries.
#pragma once

#include <QString>
#include <QStringList>

class QObject;

namespace oa {

class WebEngineBackend;

// Before the QApplication exists: lets the engine share the application's OpenGL context and,
// when running as root, turns the engine's sandbox off (it refuses to start otherwise), saying
// so in the log. Loads nothing of the engine.
void prepareWebEngine();

// The backend of the web engine module, loaded on the first call; null (and logged once) when
// the module is missing or does not fit. The module is looked for in OA_MODULE_DIR when that is
// set, else beside the program, in its ../lib/oa-client and in the build tree. Main thread.
WebEngineBackend* webEngineBackend();
// Loads the first of `files` that is a web engine module of this client's version; null with
// the reason of each file in `error` otherwise. A module once loaded stays loaded.
WebEngineBackend* loadWebEngineModule(const QStringList& files, QString* error);
// Where the module was looked for and why it failed; empty while it loads or before the first
// call.
QString webEngineLoadError();

// The engine's profile (a QWebEngineProfile) shared by every view, null before the first view.
QObject* webProfile();
// Whether the engine has started, i.e. a web view was made.
bool webProfileCreated();

// Copies the transport's cookies into the engine: new and changed ones are set, those the
// transport no longer holds are deleted. Does nothing before the engine started (it copies
// them all when the first view is made). Main thread.
void copySessionCookies();

}  // namespace oa

// The web engine behind every web view: process set-up that must happen before the
// QApplication, the one profile the views share (made on first use, so the engine starts with
// the first web page and never with the sign-in screen) and the session cookies it carries.
#pragma once

#include <QString>
#include <QUrl>

class QWebEngineProfile;

namespace oa {

// Link schemes that the server's pages use to talk to the client instead of loading a page.
inline constexpr const char* kMessageScheme = "message";
inline constexpr const char* kBackToMainScheme = "backtomain";

// Before the QApplication exists: registers the link schemes (without that, the engine hands
// such links to the desktop and the page never sees them) and, when running as root, turns the
// engine's sandbox off (it refuses to start otherwise), saying so in the log.
void prepareWebEngine();

// The profile of every web view: off the record, the PDF viewer off, the link schemes answered
// by a handler that refuses them. Main thread; created on the first call.
QWebEngineProfile* webProfile();
// Whether webProfile() has been called, i.e. whether the engine has started.
bool webProfileCreated();

// Copies the transport's cookies into the profile: new and changed ones are set, those the
// transport no longer holds are deleted. Does nothing before the profile exists (it copies
// them all when it is made). Main thread.
void copySessionCookies();

}  // namespace oa

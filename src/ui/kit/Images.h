// Images of the client by the names the screens use ("topbackground.png", "logo", ...), drawn
// from the SVG sources in the resources' "images" folder at the screen's pixel density.
#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

namespace oa {

// The image called `name`, looked up in AppPaths::current().resources()/images:
//   1. "<stem>.svg", rendered at `scale` device pixels per point;
//   2. "<stem>@2x.<ext>" when `scale` is above 1;
//   3. "<name>" as given, then "<stem>.png".
// The extension defaults to ".png"; `scale` 0 means the application's device pixel ratio. The
// pixmap's device pixel ratio is set so that its logical size is the image's size in points.
// A missing or unreadable image gives a null pixmap and a log line. Main thread only.
QPixmap image(const QString& name, qreal scale = 0);

// The SVG source of the image called `name` (as image() finds it), or an empty text when the
// image has none.
QString imageSvgPath(const QString& name);

// Starts drawing the images `names` that have an SVG source (as image() would, at `scale`; 0
// means the application's device pixel ratio) on a thread of their own, so that image() finds
// them drawn, or waits for the one still being drawn, instead of drawing them itself. For a
// screen about to be built while the main thread is busy elsewhere (the first screen, while
// the fonts are read). Main thread only, once a QGuiApplication exists.
void prefetchImages(const QStringList& names, qreal scale = 0);

// Draws every image handed out so far anew for `scale` (0: the application's device pixel
// ratio), in place: the copies that screens hold share their data with the ones kept here, so
// the screens built before a change of scale show their pictures sharp at the new one. Main
// thread only.
void redrawImages(qreal scale = 0);

// Forgets the rendered images, for instance after the resources folder changed.
void clearImageCache();

}  // namespace oa

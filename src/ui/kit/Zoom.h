// Zoom: how large the phone screen shows on the desktop. The window starts at the user's last
// choice, or else at the step that makes the phone's text as large on this screen as on the
// phone; Ctrl+"=" / Ctrl+"-" / Ctrl+"0" step through kSteps while it runs. Every widget, text and
// picture is drawn anew at the new density (Qt's scale factor), so nothing is enlarged pixels.
#pragma once

#include <array>
#include <optional>

class QWidget;

namespace oa {

class Window;

class Zoom {
public:
    static constexpr std::array<double, 6> kSteps{1, 1.25, 1.5, 2, 2.5, 3};
    // Logical pixels per inch at which the phone layout's text reads as it does on the phone.
    static constexpr double kPointsPerInch = 90;
    // The key of the choice in the settings file (SetPlist.plist).
    static constexpr char kSettingKey[] = "zoom";

    // The step nearest to what a screen of `physicalDpi` device pixels per inch needs, on which
    // the platform already draws `platformRatio` device pixels per logical pixel; 1 for a screen
    // that reports no usable size.
    static double initialScale(double physicalDpi, double platformRatio);
    // The step above or below `scale` (staying at the last or first step).
    static double stepIn(double scale);
    static double stepOut(double scale);

    // The choice stored in the settings, when it is one of the steps.
    static std::optional<double> storedChoice();
    // Stores `scale` as the choice; nothing forgets it, so the screen's own scale applies again.
    static bool storeChoice(std::optional<double> scale);

    // Once the application exists and before the first window: `forced` (--scale, already in
    // Qt's environment) stays; else the stored choice, else initialScale() for the primary
    // screen, becomes Qt's scale.
    static void applyAtStart(std::optional<double> forced);
    // The scale in force.
    static double current();
    // Draws every window at `scale` from now on, showing `window` again at its new size.
    static void zoomTo(double scale, Window* window);
    // The zoom keys of `window`; each change is stored as the choice (Ctrl+"0" forgets it and
    // goes back to the screen's own scale).
    static void installShortcuts(Window* window);
};

}  // namespace oa

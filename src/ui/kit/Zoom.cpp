// Zoom: steps, the stored choice, and Qt's global scale factor.
#include "ui/kit/Zoom.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <string>

#include "core/platform/Log.h"
#include "core/session/PlistManager.h"
#include "ui/kit/Images.h"
#include "ui/kit/ViewController.h"
#include "ui/kit/Window.h"

#include <private/qguiapplication_p.h>
#include <private/qhighdpiscaling_p.h>

namespace oa {

namespace {

double g_scale = 1;  // Main thread only.

bool sameStep(double a, double b) {
    return std::abs(a - b) < 1e-6;
}

double screenScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Qt's scale factor is in the device pixel ratio: take it out to see the platform's own.
    return screen ? Zoom::initialScale(screen->physicalDotsPerInch(),
                                       screen->devicePixelRatio() / g_scale)
                  : 1;
}

void setQtScale(double scale) {
    g_scale = scale;
    QHighDpiScaling::setGlobalFactor(scale);
    // The application keeps the highest ratio of its screens, which the pictures are drawn for.
    QGuiApplicationPrivate::resetCachedDevicePixelRatio();
    redrawImages();
}

}  // namespace

double Zoom::initialScale(double physicalDpi, double platformRatio) {
    // Below 40 or above 1000 dots per inch the screen's size is made up (a projector reporting
    // no size, a virtual screen).
    if (!std::isfinite(physicalDpi) || physicalDpi < 40 || physicalDpi > 1000 ||
        !std::isfinite(platformRatio) || platformRatio <= 0) {
        return 1;
    }
    const double wanted = physicalDpi / (kPointsPerInch * platformRatio);
    return *std::min_element(kSteps.begin(), kSteps.end(), [wanted](double a, double b) {
        return std::abs(a - wanted) < std::abs(b - wanted);
    });
}

double Zoom::stepIn(double scale) {
    const auto next = std::find_if(kSteps.begin(), kSteps.end(),
                                   [scale](double step) { return step > scale + 1e-6; });
    return next == kSteps.end() ? kSteps.back() : *next;
}

double Zoom::stepOut(double scale) {
    const auto next = std::find_if(kSteps.rbegin(), kSteps.rend(),
                                   [scale](double step) { return step < scale - 1e-6; });
    return next == kSteps.rend() ? kSteps.front() : *next;
}

std::optional<double> Zoom::storedChoice() {
    // Read only when there: the file is made from its template beside the first screen, not
    // before it.
    std::error_code ec;
    if (!std::filesystem::exists(PlistManager().dataSetFilePath(), ec)) {
        return std::nullopt;
    }
    const auto settings = PlistManager().getSetInfo();
    if (!settings) {
        return std::nullopt;
    }
    const auto found = settings->find(kSettingKey);
    if (found == settings->end()) {
        return std::nullopt;
    }
    const std::string& text = found->second;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    for (const double step : kSteps) {
        if (sameStep(step, value)) {
            return step;
        }
    }
    return std::nullopt;
}

bool Zoom::storeChoice(std::optional<double> scale) {
    std::string text;
    if (scale) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *scale);
        text.assign(buffer, result.ptr);
    }
    return PlistManager().updateSetInfo({{kSettingKey, text}});
}

void Zoom::applyAtStart(std::optional<double> forced) {
    if (forced) {
        g_scale = *forced;
        return;
    }
    const double scale = storedChoice().value_or(screenScale());
    if (!sameStep(scale, g_scale)) {
        setQtScale(scale);
    }
}

double Zoom::current() {
    return g_scale;
}

void Zoom::zoomTo(double scale, Window* window) {
    if (sameStep(scale, g_scale)) {
        return;
    }
    logDiagnostic("zoom: " + std::to_string(scale));
    if (window) {
        window->rebuildNativeWindow([scale] { setQtScale(scale); });
    } else {
        setQtScale(scale);
    }
}

void Zoom::installShortcuts(Window* window) {
    const auto zoomIn = [window] {
        const double scale = stepIn(g_scale);
        storeChoice(scale);
        zoomTo(scale, window);
    };
    // "=" is the key "+" is on: with or without Shift, Ctrl and that key enlarge.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)}) {
        QObject::connect(new QShortcut(keys, window), &QShortcut::activated, window, zoomIn);
    }
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), window),
                     &QShortcut::activated, window, [window] {
                         const double scale = stepOut(g_scale);
                         storeChoice(scale);
                         zoomTo(scale, window);
                     });
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), window),
                     &QShortcut::activated, window, [window] {
                         storeChoice(std::nullopt);
                         zoomTo(screenScale(), window);
                     });
}

}  // namespace oa

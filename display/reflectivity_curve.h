#pragma once
// The Reflectivity page's curve image, for the window and the headless command.
#include "navigation/reflectivity_view.h"

#include <QImage>

namespace tarnix {

// Curve height of the page's image at start.
constexpr int kReflectivityCurveHeight = 170;

// A yellow bitmap one column per line read and `height` rows, the curve drawn
// in black with the canvas pen. A null image when the page has no line or the
// bitmap cannot be had.
QImage reflectivityCurveImage(const ReflectivityPage& page, int height = kReflectivityCurveHeight);

} // namespace tarnix

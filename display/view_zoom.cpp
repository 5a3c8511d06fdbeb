#include "display/view_zoom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnix {

double clampViewZoom(double zoom) {
    if (!std::isfinite(zoom)) return 1.0;
    return std::clamp(zoom, kMinViewZoom, kMaxViewZoom);
}

int viewSize(int pixels, double zoom) {
    if (pixels <= 0) return 0;
    const double v = std::round(pixels * clampViewZoom(zoom));
    return static_cast<int>(std::clamp(v, 1.0, double(std::numeric_limits<int>::max())));
}

int viewToPicture(int w, double zoom) {
    // A little slack so that an exact edge at a zoom like 0.1 is not lost to rounding.
    return static_cast<int>(std::floor(w / clampViewZoom(zoom) + 1e-9));
}

int pictureToView(int p, double zoom) {
    return static_cast<int>(std::floor(p * clampViewZoom(zoom)));
}

double fitZoom(int w, int h, int vw, int vh) {
    if (w <= 0 || h <= 0 || vw <= 0 || vh <= 0) return 1.0;
    return clampViewZoom(std::min(double(vw) / w, double(vh) / h));
}

double wheelZoom(double zoom, int angleDelta) {
    return clampViewZoom(zoom * std::pow(1.25, angleDelta / 120.0));
}

int scrollAfterZoom(int scroll, int cursor, double before, double after) {
    const double picture = (scroll + cursor) / clampViewZoom(before);
    return std::max(0, static_cast<int>(std::lround(picture * clampViewZoom(after) - cursor)));
}

} // namespace tarnix

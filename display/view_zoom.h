#pragma once
// How the shown profile is scaled on screen. Zoom is a view of the picture only:
// the picture keeps one pixel per column and row, so Save Image, the read-out's
// pixel and the picks are the same at every zoom.
namespace tarnix {

constexpr double kMinViewZoom = 1.0 / 16;
constexpr double kMaxViewZoom = 32.0;

// Limits a zoom to kMinViewZoom..kMaxViewZoom (1 when it is no number).
double clampViewZoom(double zoom);

// Widget size of a picture side of `pixels` at `zoom` (at least 1 for a picture).
int viewSize(int pixels, double zoom);

// Picture pixel under the widget coordinate `w` at `zoom`: the pixel whose square
// holds the point, so every widget point of an enlarged pixel reads that pixel.
int viewToPicture(int w, double zoom);

// Widget coordinate of the left (top) edge of picture pixel `p` at `zoom`.
int pictureToView(int p, double zoom);

// The zoom at which a picture of w x h fits inside a viewport of vw x vh, whole.
double fitZoom(int w, int h, int vw, int vh);

// The zoom after a wheel turn of `angleDelta` eighths of a degree (120 a notch):
// each notch multiplies or divides by 1.25.
double wheelZoom(double zoom, int angleDelta);

// The scroll offset that keeps the picture point under `cursor` (viewport
// coordinate) under it when the zoom changes from `before` to `after`.
int scrollAfterZoom(int scroll, int cursor, double before, double after);

} // namespace tarnix

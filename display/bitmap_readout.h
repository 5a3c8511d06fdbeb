#pragma once
// The read-out and picks over the scanned profile on the Bitmaps page. The
// mouse point is in pixels of the picture as shown (zoomed); the calibration
// box is in pixels of the image and is scaled by the zoom to meet it.
#include "display/profile_cursor.h"

namespace tarnix {

class Session;

// The calibration box at `zoom`, truncated, as the data area of a read-out;
// false (and nothing changed) when the box is refused.
bool bitmapDataArea(const Session& s, double zoom, DataArea& area);

// Image2MouseMove: while the scanned profile is the input, the shot range
// follows the window's Start/End Shot and the cursor point record is computed
// as over the profile. False, with the session untouched, over any other picture.
bool bitmapPointAttributes(Session& s, int red, int mouseX, int mouseY, double zoom,
                           PointTexts& out);

} // namespace tarnix

#pragma once
// What the mouse over the profile reads and picks: the cursor point record and its
// status texts, the thickness drag, the bottom-tracking split search, interactive
// mapping texts and the zoom steps of the Bitmaps page. No image here: callers pass
// the red component of the pixel they read, so all of it is testable headless.
#include <string>
#include <vector>

namespace tarnix {

class Session;

// Rows top..bottom and columns left..right of an image's data area.
struct DataArea {
    int top, bottom, left, right;
};

// The data area of the profile picture of the given size (a 50-pixel margin).
DataArea profileDataArea(int pictureWidth, int pictureHeight);

// Status-bar texts of a read-out: panel 1 ("Image") and panel 2 ("Profile").
struct PointTexts {
    std::string image, profile;
};

// CALC_POINT_ATTRIBUTES for the point (left + dx, top + dy), whose displayed red
// component is `red`: fills session.cursor (values and texts) and Edit3. Does nothing
// and returns false while GO is disabled or the area has no rows or no columns.
bool calcPointAttributes(Session& s, int red, const DataArea& area, int dy, int dx,
                         PointTexts& out);

// The "Profile" panel text.
std::string profilePanelText(int shot, double time, double depth, int sample, int amp);

// True when the pixel (X, Y) of the profile picture lies in the painted data area.
bool inProfileDataArea(const Session& s, int X, int Y);

// Thickness read-out while dragging to (., Y) without the notebook: the status
// panel 0 text "Thick. :1.234 m"; empty when the image has no rows.
std::string thicknessText(const Session& s, int Y);

// Bottom-tracking split of a window of W values v[1..W] (v[0] unused): the split k
// with the largest mean(v[1..k]) - mean(v[k..W-1]); the first on ties; 0 when no
// difference is above 0.
int bottomSplit(const std::vector<int>& v, int W);

// A bottom-tracking pick for the data-area point (x, y) and split k.
struct BottomPick {
    int row = 0; // absolute pixel row of the pick
    int shot = 0;
    double time = 0; // ms, without the delay
    std::string timeText;
    bool store = false; // time > 0, shot above the last picked shot and the lower limit
};
BottomPick bottomPick(const Session& s, int x, int y, int k, int notebookLowerShotLimit);

// The notebook line of a stored bottom pick: "shot time" for a ".MUT" notebook,
// otherwise the navigation text of Edit3, a blank and the time.
std::string bottomPickLine(const Session& s, const BottomPick& pick, bool mutNotebook);

// Edit4 after an interactive-mapping pick: "CoordX CoordY I.M." with 8 decimals.
std::string interactiveMappingText(const Session& s, int shot);

// Zoom of the Bitmaps page: factor after a step of -1, 0 ("=") or +1. A step that
// would take the factor below 0.1 keeps it (a zero or negative picture size).
double nextZoomFactor(double factor, int step);
// Label2 text: the factor with 2 decimals.
std::string zoomLabel(double factor);
// Zoomed picture size for a profile of the given geometry.
int zoomedSize(int imageCount, double factor);

} // namespace tarnix

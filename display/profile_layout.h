#pragma once
#include "core/session.h" // setupProfileGeometry
// Geometry of the profile image and the positions of its annotation, worked out
// without an image so that the run, the read-out and the tests share them.
#include <functional>
#include <string>
#include <vector>

namespace tarnix {

class Session;

constexpr int kProfileMargin = 50;

// Bitmap width and height for the current geometry (may be below 100 when a
// count is negative; never below 0).
int profileImageWidth(const Session& s);
int profileImageHeight(const Session& s);

// First and last pixel column of the i-th shot of a run (i from 1).
int shotFirstColumn(int i, int rep);
int shotLastColumn(int i, int rep);

// For every painted row r = 0..rows, the trace slot shown there, or -1 where the
// row shows amplitude 0 (the first row always; every row when n <= 0).
// Slot k - 1 for k = round(r / rows * n); empty when rows <= 0.
std::vector<int> rowSlots(int rows, int n);

struct AnnotationText {
    int x, y; // top-left corner of the text
    std::string text;
};

// A line from (x1, y1) toward (x2, y2), the end point itself not drawn.
struct AnnotationLine {
    int x1, y1, x2, y2;
};

struct AnnotationLayout {
    std::vector<AnnotationText> texts;
    std::vector<AnnotationLine> lines; // ticks and grid lines in drawing order
    // Data-area rectangle, corners as given (the outline covers x1..x2-1, y1..y2-1).
    AnnotationLine dataArea{0, 0, 0, 0};
    bool hasDataArea = false;
};

// Shot labels, time labels, right-hand time or depth labels, ticks, grid lines and
// the data-area rectangle for the session's current settings. With no image rows
// the label loops are skipped (nothing but the bottom tick and the rectangle).
AnnotationLayout annotationLayout(const Session& s);

// The labels to draw when they are `textHeight` high: in each column of labels
// (texts sharing an x), a label closer than textHeight below the last one kept is
// left out; the last label of a column (the window's end) is always kept, in
// place of a kept one it would touch. The layout itself (the label rule) is not
// changed, only what is drawn.
std::vector<AnnotationText> thinnedTimeLabels(const std::vector<AnnotationText>& texts,
                                              int textHeight);

// What the picture draws: the time labels thinned as above, then in each row of
// labels (texts sharing a y: the shot labels), a label that starts less than a
// few pixels after the end of the last one kept is left out; the row's last
// label (the last shot) is always kept, in place of a kept one it would touch.
std::vector<AnnotationText> thinnedLabels(const std::vector<AnnotationText>& texts, int textHeight,
                                          const std::function<int(const std::string&)>& textWidth);

// "Line Name :" caption text for an input file: its name without directory and extension.
std::string lineNameCaption(const std::string& inputFileName);

} // namespace tarnix

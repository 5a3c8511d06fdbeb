#pragma once
// DRAW_POINTS: a notebook's picks drawn back onto the profile picture as a
// polyline with the canvas's current pen.
#include "display/image_canvas.h"
#include "navigation/notebook.h"

#include <string>

namespace tarnix {

class Session;

// What the session's painted profile shows, for a picture `pictureWidth` wide.
ProfileGeometry profileGeometryOf(const Session& s, int pictureWidth);

// Draws the picks of `text` (a notebook of `kind`) onto the canvas's picture and
// returns the number of picks drawn: none before any run or on an empty window.
int drawNotebookPicks(ImageCanvas& canvas, const Session& s, const std::string& text,
                      NotebookKind kind);

// A pen as the notebook's Pen menu sets it, from text such as "red", "#ff0000,3"
// or "blue,2,dash" (styles solid, dash, dot, dashdot, dashdotdot). Throws
// ConversionError naming the part that is not understood.
struct PickPen {
    QColor colour{Qt::black};
    int width = 1;
    ImageCanvas::PenStyle style = ImageCanvas::Solid;
};
PickPen parsePickPen(const std::string& text);
void applyPickPen(ImageCanvas& canvas, const PickPen& pen);

} // namespace tarnix

#include "display/notebook_drawing.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"

#include <sstream>

namespace tarnix {

ProfileGeometry profileGeometryOf(const Session& s, int pictureWidth) {
    ProfileGeometry g;
    g.startShot = s.shots.StartShot();
    g.rep = s.display.Rep();
    g.startSweep = s.StartSweep();
    g.endSweep = s.EndSweep();
    g.imageRows = s.ImageRows;
    g.pictureWidth = pictureWidth;
    return g;
}

int drawNotebookPicks(ImageCanvas& canvas, const Session& s, const std::string& text,
                      NotebookKind kind) {
    const QImage* img = canvas.image();
    if (!img || img->isNull()) return 0;
    const std::vector<PixelPoint> points =
        notebookPolyline(text, kind, profileGeometryOf(s, img->width()));
    if (points.empty()) return 0;
    canvas.moveTo(points.front().x, points.front().y);
    for (size_t i = 1; i < points.size(); ++i) canvas.lineTo(points[i].x, points[i].y);
    // Lines stop short of their end; the last pick is still a point of the horizon.
    canvas.penDot(points.back().x, points.back().y);
    return static_cast<int>(points.size());
}

PickPen parsePickPen(const std::string& text) {
    PickPen pen;
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string p; std::getline(in, p, ',');) parts.push_back(p);
    if (parts.empty() || parts.size() > 3)
        throw ConversionError("pen '" + text + "': expected COLOUR[,WIDTH[,STYLE]]");
    const QColor c = QColor::fromString(QString::fromStdString(parts[0]));
    if (!c.isValid()) throw ConversionError("pen colour '" + parts[0] + "' is not a colour");
    pen.colour = c;
    if (parts.size() > 1) {
        long long w = 0;
        if (!tryParseInt(parts[1], w) || w < 1 || w > ImageCanvas::kMaxPenWidth)
            throw ConversionError("pen width '" + parts[1] + "' is not 1 to 5");
        pen.width = static_cast<int>(w);
    }
    if (parts.size() > 2) {
        const std::string st = lower(parts[2]);
        if (st == "solid")
            pen.style = ImageCanvas::Solid;
        else if (st == "dash")
            pen.style = ImageCanvas::Dash;
        else if (st == "dot")
            pen.style = ImageCanvas::Dot;
        else if (st == "dashdot")
            pen.style = ImageCanvas::DashDot;
        else if (st == "dashdotdot")
            pen.style = ImageCanvas::DashDotDot;
        else
            throw ConversionError("pen style '" + parts[2] +
                                  "' is not solid, dash, dot, dashdot or dashdotdot");
    }
    return pen;
}

void applyPickPen(ImageCanvas& canvas, const PickPen& pen) {
    canvas.setPenColour(pen.colour);
    canvas.setPenWidth(pen.width);
    canvas.setPenStyle(pen.style);
    canvas.setPenMode(ImageCanvas::Copy);
}

} // namespace tarnix

#include "display/map_drawing.h"

#include "core/numtext.h"

#include <QPainter>

namespace tarnix {

MapPlotter::MapPlotter(QImage& map, const MapBox& box, const MapPlotSettings& settings)
    : map_(map), box_(box), settings_(settings), canvas_(&map) {
    canvas_.setPenMode(ImageCanvas::Copy);
}

void MapPlotter::setPenColour(QColor c) {
    canvas_.setPenColour(c);
    canvas_.setFontColour(c);
}

bool MapPlotter::drawable(const MapPixel& p) const {
    const long long w = map_.width(), h = map_.height();
    return p.x >= -w && p.x <= 2 * w && p.y >= -h && p.y <= 2 * h;
}

bool MapPlotter::DRAW_POINT_ONMAP(const std::string& label, double lon, double lat, bool labelled) {
    const std::optional<MapPixel> at = box_.LongLatToYX(lon, lat);
    if (!at || !drawable(*at)) return false;
    const int x = at->x, y = at->y;
    ImageCanvas& c = canvas_;
    if (labelled) {
        c.textOut(x + 3, y + 3, QString::fromStdString(label));
        c.moveTo(x, y);
        c.lineTo(x + 3, y);
        c.lineTo(x - 3, y);
        c.lineTo(x, y);
        c.lineTo(x, y + 3);
        c.lineTo(x, y - 3);
        return true;
    }
    long long n;
    if (!tryParseInt(label, n)) return false;
    if (n % settings_.pointspacing() == 0) {
        c.line(x - 1, y, x + 1, y);
        c.line(x, y - 1, x, y + 1);
    }
    if (n % settings_.Labelspacing() == 0) {
        c.textOut(x + 3, y + 3, QString::fromStdString(label));
        // The black square covers x - 2 .. x + 1 and y - 2 .. y + 1.
        for (int py = y - 2; py < y + 2; ++py)
            for (int px = x - 2; px < x + 2; ++px)
                if (px >= 0 && py >= 0 && px < map_.width() && py < map_.height())
                    reinterpret_cast<QRgb*>(map_.scanLine(py))[px] = 0xFF000000u;
        c.moveTo(x, y);
    }
    return true;
}

bool MapPlotter::DRAW_LINE_LABEL(const std::string& name, double lon, double lat) {
    const std::optional<MapPixel> at = box_.LongLatToYX(lon, lat);
    if (!at || !drawable(*at)) return false;
    canvas_.textOut(at->x - 5, at->y - 5, QString::fromStdString(name));
    return true;
}

void MapPlotter::plotLine(const MapLine& line) {
    if (line.points.empty()) return;
    DRAW_LINE_LABEL(line.name, line.points.front().lon, line.points.front().lat);
    std::optional<MapPixel> last;
    for (const MapPoint& p : line.points) {
        if (settings_.connectPoints) {
            std::optional<MapPixel> at = box_.LongLatToYX(p.lon, p.lat);
            if (at && !drawable(*at)) at.reset();
            if (at && last) canvas_.line(last->x, last->y, at->x, at->y);
            last = at;
        }
        DRAW_POINT_ONMAP(p.label, p.lon, p.lat, false);
    }
}

void MapPlotter::plotPoints(const std::vector<MapPoint>& points) {
    for (const MapPoint& p : points) DRAW_POINT_ONMAP(p.label, p.lon, p.lat, true);
}

} // namespace tarnix

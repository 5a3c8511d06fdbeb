#pragma once
// Drawing on the map bitmap: shot points, line names, point files and tracks,
// placed through the Map Limits box. The bitmap belongs to the map viewer (or to
// the headless command); this only needs the image.
#include "display/image_canvas.h"
#include "navigation/map_box.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <string>

namespace tarnix {

class MapPlotter {
public:
    // `box` is parsed once per operation by the caller.
    MapPlotter(QImage& map, const MapBox& box, const MapPlotSettings& settings);

    void setPenColour(QColor c);
    void setFont(const QFont& f) { canvas_.setFont(f); }

    // A shot point. Labelled: the label at (x + 3, y + 3) and a cross of 3-pixel
    // arms (Interactive Mapping and cross mode). Otherwise the label is a shot
    // number: a small cross every `pointspacing` shots, the number and a black
    // 4 x 4 square every `Labelspacing` shots. False when the position cannot
    // be placed (nothing is drawn).
    bool DRAW_POINT_ONMAP(const std::string& label, double lon, double lat, bool labelled);
    // The line name with its top-left corner 5 pixels up and left of the position.
    bool DRAW_LINE_LABEL(const std::string& name, double lon, double lat);

    // A line file: its name at the first point, then every shot point, joined by
    // the track when "Connect points" is ticked.
    void plotLine(const MapLine& line);
    // A point file: labelled crosses.
    void plotPoints(const std::vector<MapPoint>& points);

    ImageCanvas& canvas() { return canvas_; }

private:
    // Whether a segment to p is short enough to draw (a far-off pixel would
    // walk billions of steps).
    bool drawable(const MapPixel& p) const;

    QImage& map_;
    const MapBox& box_;
    const MapPlotSettings& settings_;
    ImageCanvas canvas_;
};

} // namespace tarnix

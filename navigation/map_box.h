#pragma once
// The map's georeferencing: a box of four geographic boundaries and the pixel
// borders of that box in the map bitmap, mapped linearly in both axes.
#include "core/settings.h"
#include "formats/boundary_file.h" // the ".bnd" files of map bitmaps

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

struct MapPixel {
    int x = 0, y = 0;
};

struct GeoPoint {
    double lon = 0, lat = 0;
};

// The Map Limits texts converted once per operation. A box that cannot place
// anything (top not north of bottom, no width, a zero pixel span, a text that is
// not a number) is refused with a message instead of dividing by zero.
class MapBox {
public:
    // Throws ConversionError with the message the window shows.
    static MapBox parse(const MapLimits& limits);
    // As parse, but the message instead of an exception; nullopt when refused.
    static std::optional<MapBox> tryParse(const MapLimits& limits, std::string* message);

    // Pixel of a position, rounded halves to even; pixels outside the bitmap are
    // returned as computed. Longitudes may be given in -180..180 or 0..360
    // whatever convention the box was typed in: a position is taken at its place
    // nearest the box. nullopt for a position that cannot be placed (NaN, or a
    // pixel beyond the integer range).
    std::optional<MapPixel> LongLatToYX(double lon, double lat) const;
    // Position of a pixel given as offsets from (xmin, ymin). The longitude is in
    // the box's convention (0..360 unless a boundary is negative).
    GeoPoint YXToLongLat(int yo, int xo) const;

    double T = 0, B = 0, L = 0, R = 0;
    int xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    double width = 0;        // from L eastwards to R
    bool geographic = false; // degrees: longitudes wrap at 360
    double sx = 0, sy = 0;
};

// Texts of the map viewer's read-out at bitmap pixel (x, y).
struct MapReadout {
    std::string image;    // status panel 2: "Image: (x, y)"
    std::string map;      // status panel 3
    std::string lat, lon; // 8 decimals; empty when the box is refused
};
MapReadout mapReadout(const MapLimits& limits, int x, int y);

// One line of a point file: a label up to and including the first white space
// (any length; the white space becomes one blank), then longitude and latitude;
// the rest of the line is ignored.
struct MapPoint {
    std::string label;
    double lon = 0, lat = 0;
};
// Blank lines are skipped. On a line that does not parse, the points of the
// lines before it are in `points` and IoError names the file and line.
void parsePointFile(std::string_view text, const std::string& path, std::vector<MapPoint>& points);

// A line file plotted on the map: its name (the file name without directory and
// extension) and its shot points, the shot number as label.
struct MapLine {
    std::string name;
    std::vector<MapPoint> points;
};
enum class LineFileKind { None, Navigation, Reflectivity };
// By the exact extension ".NAV"/".nav" or ".REF"/".ref".
LineFileKind lineFileKind(const std::string& path);
// Reads a navigation file (as the import reads it) or a reflectivity file (its
// lines as formats/reflectivity_file.h reads them; "#" and blank lines skipped).
// On a bad line the points before it are in `line` and IoError names the line.
void readLineFile(const std::string& path, LineFileKind kind, MapLine& line);

// XYZ sampling: every even column and row of the box, z = 255 - red, pixels with
// z of 0 or 255 skipped; "lon lat z" lines, 8 decimals. Pixels outside the
// bitmap are never read (the box may reach one past the last column). Returns
// the number of lines written.
long long sampleXyz(const MapBox& box, int bitmapWidth, int bitmapHeight,
                    const std::function<int(int x, int y)>& red, std::ostream& out);

} // namespace tarnix
